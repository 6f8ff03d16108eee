#!/usr/bin/env bash
# Embedding a folder image into real-size songs: `quillmoth-cli embed
# --sources 3 --existing 3` as a whole process, against mutagen adding the
# same picture to copies of the same files in one process (as it is, and
# flushing each file it saved), and against copying the files and syncing
# them. For MP3, M4A (AAC) and FLAC, each in two libraries: songs whose tags
# have room for the picture (every tool writes in place) and songs as the
# encoder wrote them (the tag must grow: the file is written anew).
# One more, untimed run of quillmoth-cli under strace counts its flushes
# (fsync, fdatasync, syncfs) per song; /usr/bin/time gives its peak memory.
#
# Usage: bench/write_bench.sh [CACHE_DIR]
#   SONGS=120 SONG_MB=4 RUNS=3 FORMATS="mp3 m4a flac" CLI=build/app/cli/quillmoth-cli
# Needs ffmpeg, python3-mutagen and strace.
set -euo pipefail
cd "$(dirname "$0")/.."
SONGS=${SONGS:-120}
SONG_MB=${SONG_MB:-4}
RUNS=${RUNS:-3}
FORMATS=${FORMATS:-mp3 m4a flac}
CLI=$(realpath "${CLI:-build/app/cli/quillmoth-cli}")
CACHE=${1:-/tmp/quillmoth-write-bench}
PER_FOLDER=12
ROOM=262144
mkdir -p "$CACHE"

now() { date +%s.%N; }
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

encoder_options() {
    case $1 in
    mp3) echo "-c:a libmp3lame -b:a 128k" ;;
    m4a) echo "-c:a aac -b:a 128k -movflags +faststart" ;;
    flac) echo "-c:a flac -sample_fmt s16" ;;
    esac
}

# mutagen, in one process, over every song below a folder: "embed" adds the
# folder's image to each (optionally flushing each file), "room" gives each
# tag ROOM bytes of padding, "count" prints the pictures of one song.
mutagen() {
    /usr/bin/python3 - "$@" <<'PY'
import glob, os, sys
from mutagen.flac import FLAC, Picture
from mutagen.id3 import APIC, ID3
from mutagen.mp4 import MP4, MP4Cover

action, root, fmt = sys.argv[1], sys.argv[2], sys.argv[3]

def open_song(path):
    return {"mp3": lambda: ID3(path), "m4a": lambda: MP4(path), "flac": lambda: FLAC(path)}[fmt]()

def pictures(song):
    if fmt == "mp3":
        return len(song.getall("APIC"))
    if fmt == "m4a":
        return len(song.tags.get("covr", [])) if song.tags else 0
    return len(song.pictures)

def add(song, data):
    if fmt == "mp3":
        song.add(APIC(encoding=3, mime="image/jpeg", type=3, desc="", data=data))
    elif fmt == "m4a":
        if song.tags is None:
            song.add_tags()
        song.tags["covr"] = list(song.tags.get("covr", [])) + [MP4Cover(data, MP4Cover.FORMAT_JPEG)]
    else:
        picture = Picture()
        picture.type, picture.mime, picture.data = 3, "image/jpeg", data
        song.add_picture(picture)

if action == "count":
    print(pictures(open_song(root)))
    sys.exit(0)
for folder in sorted(glob.glob(os.path.join(root, "*/"))):
    data = open(os.path.join(folder, "Folder.jpg"), "rb").read()
    for path in sorted(glob.glob(os.path.join(folder, "*." + fmt))):
        song = open_song(path)
        if action == "room":
            if fmt == "mp3":
                song.save(path, padding=lambda info: int(sys.argv[4]))
            else:
                song.save(padding=lambda info: int(sys.argv[4]))
            continue
        add(song, data)
        song.save(path) if fmt == "mp3" else song.save()
        if action == "embed-fsync":
            fd = os.open(path, os.O_RDONLY)
            os.fsync(fd)
            os.close(fd)
PY
}

# One noise song of about SONG_MB, copied SONGS times, 12 to a folder, each
# folder with a Folder.jpg of about 100 KB.
make_library() {
    local fmt=$1 dir=$2 room=$3
    [ -f "$dir/.complete" ] && return
    rm -rf "$dir" && mkdir -p "$dir"
    local song="$CACHE/song-$SONG_MB.$fmt"
    if [ ! -f "$song" ]; then
        local probe="$CACHE/probe.$fmt"
        # shellcheck disable=SC2046
        ffmpeg -v error -y -f lavfi -i "anoisesrc=d=10:c=pink:r=44100:a=0.5" -ac 2 \
            $(encoder_options "$fmt") "$probe"
        local seconds=$(( SONG_MB * 1024 * 1024 * 10 / $(stat -c %s "$probe") + 1 ))
        # shellcheck disable=SC2046
        ffmpeg -v error -y -f lavfi -i "anoisesrc=d=$seconds:c=pink:r=44100:a=0.5" -ac 2 \
            $(encoder_options "$fmt") -metadata title=Noise "$song"
    fi
    local image="$CACHE/folder.jpg"
    [ -f "$image" ] || ffmpeg -v error -y -f lavfi -i "testsrc2=s=1200x1200" -frames:v 1 \
        -q:v 2 "$image"
    for ((i = 0; i < SONGS; ++i)); do
        local folder="$dir/Album $((i / PER_FOLDER))"
        mkdir -p "$folder"
        [ -f "$folder/Folder.jpg" ] || cp "$image" "$folder/Folder.jpg"
        cp "$song" "$folder/Song $i.$fmt"
    done
    [ "$room" = room ] && mutagen room "$dir" "$fmt" "$ROOM"
    touch "$dir/.complete"
}

quillmoth() {
    "$CLI" --library "$1" --data-folder "$CACHE/data" embed --sources 3 --existing 3 \
        >/dev/null 2>&1
}

# Times one tool on a fresh copy of a library; prints seconds.
time_tool() {
    local fmt=$1 base=$2 tool=$3 work="$CACHE/work"
    rm -rf "$work" "$CACHE/data" "$CACHE/copy"
    cp -r "$base" "$work"
    sync
    local start end
    start=$(now)
    case $tool in
    quillmoth) quillmoth "$work" ;;
    mutagen) mutagen embed "$work" "$fmt" ;;
    mutagen-fsync) mutagen embed-fsync "$work" "$fmt" ;;
    cp-sync) cp -r "$work" "$CACHE/copy" && sync ;;
    esac
    end=$(now)
    # Every tool must have done the job it is timed for.
    if [ "$tool" != cp-sync ] && [ "$(mutagen count "$work/Album 0/Song 0.$fmt" "$fmt")" != 1 ]; then
        echo "$tool embedded nothing into $fmt songs" >&2
        exit 1
    fi
    echo "$end - $start" | bc
}

# Flushes per song and peak memory of one more run.
measure_quillmoth() {
    local base=$1 work="$CACHE/work"
    rm -rf "$work" "$CACHE/data"
    cp -r "$base" "$work"
    sync
    local trace="$CACHE/strace.txt" rss="$CACHE/rss.txt"
    strace -f -c -o "$trace" -e trace=fsync,fdatasync,syncfs,sync,sync_file_range \
        "$CLI" --library "$work" --data-folder "$CACHE/data" embed --sources 3 --existing 3 \
        >/dev/null 2>&1
    local flushes
    flushes=$(awk '$NF ~ /^(fsync|fdatasync|syncfs|sync|sync_file_range)$/ {n += $4} END {print n + 0}' "$trace")
    rm -rf "$work" "$CACHE/data"
    cp -r "$base" "$work"
    /usr/bin/time -f %M -o "$rss" "$CLI" --library "$work" --data-folder "$CACHE/data" embed \
        --sources 3 --existing 3 >/dev/null 2>&1
    printf 'flushes/song %.2f (%s in all), peak RSS %.1f MB' \
        "$(echo "$flushes / $SONGS" | bc -l)" "$flushes" "$(echo "$(cat "$rss") / 1024" | bc -l)"
}

printf '%s songs of %s MB, %s runs; seconds, median (range)\n' "$SONGS" "$SONG_MB" "$RUNS"
for fmt in $FORMATS; do
    for room in room tight; do
        base="$CACHE/library-$fmt-$room-$SONGS-$SONG_MB"
        make_library "$fmt" "$base" "$room"
        declare -A medians=()
        for tool in quillmoth mutagen mutagen-fsync cp-sync; do
            times=()
            for ((run = 0; run < RUNS; ++run)); do times+=("$(time_tool "$fmt" "$base" "$tool")"); done
            medians[$tool]=$(printf '%s\n' "${times[@]}" | median)
            printf '%-4s %-5s %-13s %7.3f   (%s)\n' "$fmt" "$room" "$tool" "${medians[$tool]}" \
                "$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')"
        done
        printf '%-4s %-5s quillmoth: %.2fx mutagen, %.2fx mutagen+fsync, %.2fx cp+sync; %s\n' \
            "$fmt" "$room" "$(echo "${medians[quillmoth]} / ${medians[mutagen]}" | bc -l)" \
            "$(echo "${medians[quillmoth]} / ${medians[mutagen-fsync]}" | bc -l)" \
            "$(echo "${medians[quillmoth]} / ${medians[cp-sync]}" | bc -l)" \
            "$(measure_quillmoth "$base")"
        unset medians
    done
done
rm -rf "$CACHE/work" "$CACHE/copy" "$CACHE/data"
