#!/usr/bin/python3
"""Pictures and comments of MP3, FLAC, Ogg Vorbis, Opus and MP4 (M4A) files,
read and written with mutagen, a reader the engine's tests did not write.

  song_pictures.py list FILE                 JSON: pictures and comments
  song_pictures.py add FILE IMAGE TYPE DESC  appends a picture
"""
import base64
import hashlib
import json
import sys

from mutagen.flac import FLAC, Picture
from mutagen.id3 import APIC, ID3
from mutagen.mp4 import MP4, MP4Cover
from mutagen.oggopus import OggOpus
from mutagen.oggvorbis import OggVorbis


def open_file(path):
    if path.endswith(".mp3"):
        return ID3(path)
    if path.endswith(".flac"):
        return FLAC(path)
    if path.endswith((".m4a", ".m4b", ".m4p", ".mp4")):
        return MP4(path)
    with open(path, "rb") as f:
        head = f.read(64)
    return OggOpus(path) if b"OpusHead" in head else OggVorbis(path)


def pictures_of(song):
    if isinstance(song, ID3):
        return [{"type": int(p.type), "mime": p.mime, "desc": p.desc, "width": 0,
                 "height": 0, "depth": 0, "data": p.data} for p in song.getall("APIC")]
    if isinstance(song, MP4):
        return [{"type": int(c.imageformat), "mime": "", "desc": "", "width": 0,
                 "height": 0, "depth": 0, "data": bytes(c)}
                for c in (song.tags or {}).get("covr", [])]
    if isinstance(song, FLAC):
        found = list(song.pictures)
    else:
        found = [Picture(base64.b64decode(value))
                 for value in song.get("metadata_block_picture", [])]
    return [{"type": p.type, "mime": p.mime, "desc": p.desc, "width": p.width,
             "height": p.height, "depth": p.depth, "data": p.data} for p in found]


def comments_of(song):
    comments = {}
    if isinstance(song, ID3):
        for frame in song.values():
            if frame.FrameID != "APIC":
                comments.setdefault(frame.FrameID, []).append(str(frame))
        return comments
    if isinstance(song, MP4):
        for key, values in (song.tags or {}).items():
            if key != "covr":
                comments[key] = [repr(v) for v in values]
        return comments
    for key, values in (song.tags or {}).items():
        if key.lower() != "metadata_block_picture":
            comments[key.lower()] = list(values)
    return comments


def add(song, path, image, kind, desc):
    with open(image, "rb") as f:
        data = f.read()
    mime = "image/png" if data.startswith(b"\x89PNG") else "image/jpeg"
    if isinstance(song, ID3):
        song.add(APIC(encoding=3, mime=mime, type=kind, desc=desc, data=data))
        song.save(path, v2_version=3)
        return
    if isinstance(song, MP4):
        kind = MP4Cover.FORMAT_PNG if mime == "image/png" else MP4Cover.FORMAT_JPEG
        song.tags.setdefault("covr", []).append(MP4Cover(data, imageformat=kind))
        song.save()
        return
    picture = Picture()
    picture.data, picture.type, picture.desc, picture.mime = data, kind, desc, mime
    if isinstance(song, FLAC):
        song.add_picture(picture)
    else:
        values = song.get("metadata_block_picture", [])
        values.append(base64.b64encode(picture.write()).decode("ascii"))
        song["metadata_block_picture"] = values
    song.save()


def main():
    command, path = sys.argv[1], sys.argv[2]
    song = open_file(path)
    if command == "list":
        pictures = []
        for p in pictures_of(song):
            p["sha1"] = hashlib.sha1(p.pop("data")).hexdigest()
            pictures.append(p)
        print(json.dumps({"pictures": pictures, "comments": comments_of(song)},
                         sort_keys=True))
    elif command == "add":
        add(song, path, sys.argv[3], int(sys.argv[4]), sys.argv[5])


if __name__ == "__main__":
    main()
