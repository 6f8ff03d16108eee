#!/usr/bin/python3
"""Pictures and comments of FLAC, Ogg Vorbis and Opus files, read and written
with mutagen, a reader the engine's tests did not write.

  xiph_pictures.py list FILE                 JSON: pictures and comments
  xiph_pictures.py add FILE IMAGE TYPE DESC  appends a picture
"""
import base64
import hashlib
import json
import sys

from mutagen.flac import FLAC, Picture
from mutagen.oggopus import OggOpus
from mutagen.oggvorbis import OggVorbis


def open_file(path):
    if path.endswith(".flac"):
        return FLAC(path)
    with open(path, "rb") as f:
        head = f.read(64)
    return OggOpus(path) if b"OpusHead" in head else OggVorbis(path)


def pictures_of(song):
    if isinstance(song, FLAC):
        return list(song.pictures)
    found = []
    for value in song.get("metadata_block_picture", []):
        found.append(Picture(base64.b64decode(value)))
    return found


def main():
    command, path = sys.argv[1], sys.argv[2]
    song = open_file(path)
    if command == "list":
        comments = {}
        for key, values in (song.tags or {}).items():
            if key.lower() != "metadata_block_picture":
                comments[key.lower()] = list(values)
        print(json.dumps({
            "pictures": [{
                "type": p.type, "mime": p.mime, "desc": p.desc, "width": p.width,
                "height": p.height, "depth": p.depth,
                "sha1": hashlib.sha1(p.data).hexdigest()} for p in pictures_of(song)],
            "comments": comments}, sort_keys=True))
    elif command == "add":
        picture = Picture()
        with open(sys.argv[3], "rb") as f:
            picture.data = f.read()
        picture.type = int(sys.argv[4])
        picture.desc = sys.argv[5]
        picture.mime = "image/png" if picture.data.startswith(b"\x89PNG") else "image/jpeg"
        if isinstance(song, FLAC):
            song.add_picture(picture)
        else:
            values = song.get("metadata_block_picture", [])
            values.append(base64.b64encode(picture.write()).decode("ascii"))
            song["metadata_block_picture"] = values
        song.save()


if __name__ == "__main__":
    main()
