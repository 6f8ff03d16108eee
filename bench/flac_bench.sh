#!/usr/bin/env bash
# Embedding a folder image into FLAC songs: `quillmoth-cli embed --sources 3`
# as a whole process, against the tools a user would pick instead adding the
# same picture to copies of the same files (metaflac, one process per album
# folder; mutagen, one process for all), and against copying the files and
# syncing them. Two libraries: songs whose padding has room for the picture
# (every tool writes in place) and songs with the 8 KB of padding an encoder
# leaves (the metadata must grow: the file is written anew).
#
# Usage: bench/flac_bench.sh [CACHE_DIR]
#   SONGS=200 SONG_MB=20 RUNS=3 CLI=build/app/cli/quillmoth-cli
# Needs ffmpeg, flac and python3-mutagen (scripts/install-deps.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
SONGS=${SONGS:-200}
SONG_MB=${SONG_MB:-20}
RUNS=${RUNS:-3}
CLI=$(realpath "${CLI:-build/app/cli/quillmoth-cli}")
CACHE=${1:-/tmp/quillmoth-flac-bench}
PER_FOLDER=12
mkdir -p "$CACHE"

now() { date +%s.%N; }
median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

# One pink-noise song of about SONG_MB, copied SONGS times, 12 to a folder,
# each folder with a Folder.jpg of about 100 KB.
make_library() {
    local dir=$1 padding=$2
    [ -f "$dir/.complete" ] && return
    rm -rf "$dir" && mkdir -p "$dir"
    local probe="$CACHE/probe.flac" song="$CACHE/song-$SONG_MB.flac"
    if [ ! -f "$song" ]; then
        ffmpeg -v error -y -f lavfi -i "anoisesrc=d=10:c=pink:r=44100:a=0.5" -ac 2 \
            -sample_fmt s16 "$probe"
        local seconds=$(( SONG_MB * 1024 * 1024 * 10 / $(stat -c %s "$probe") + 1 ))
        ffmpeg -v error -y -f lavfi -i "anoisesrc=d=$seconds:c=pink:r=44100:a=0.5" -ac 2 \
            -sample_fmt s16 -metadata TITLE=Noise "$song"
    fi
    local image="$CACHE/folder.jpg"
    [ -f "$image" ] || ffmpeg -v error -y -f lavfi -i "testsrc2=s=1200x1200" -frames:v 1 \
        -q:v 2 "$image"
    for ((i = 0; i < SONGS; ++i)); do
        local folder="$dir/Album $((i / PER_FOLDER))"
        mkdir -p "$folder"
        [ -f "$folder/Folder.jpg" ] || cp "$image" "$folder/Folder.jpg"
        cp "$song" "$folder/Song $i.flac"
    done
    if [ "$padding" -gt 0 ]; then
        find "$dir" -name '*.flac' -exec metaflac --remove --block-type=PADDING \
            --dont-use-padding {} + 
        find "$dir" -name '*.flac' -exec metaflac --add-padding="$padding" {} +
    fi
    touch "$dir/.complete"
}

# Times one tool on a fresh copy of a library; prints seconds.
time_tool() {
    local base=$1 tool=$2 work="$CACHE/work"
    rm -rf "$work" "$CACHE/data" "$CACHE/copy"
    cp -r "$base" "$work"
    sync
    local start end
    start=$(now)
    case $tool in
    quillmoth)
        "$CLI" --library "$work" --data-folder "$CACHE/data" embed --sources 3 --existing 3 \
            > /dev/null 2>&1 ;;
    metaflac)
        for folder in "$work"/*/; do
            metaflac --import-picture-from="3||||${folder}Folder.jpg" "$folder"*.flac
        done ;;
    mutagen)
        /usr/bin/python3 - "$work" <<'PY'
import glob, os, sys
from mutagen.flac import FLAC, Picture
for folder in sorted(glob.glob(os.path.join(sys.argv[1], "*/"))):
    with open(os.path.join(folder, "Folder.jpg"), "rb") as f:
        data = f.read()
    for path in sorted(glob.glob(os.path.join(folder, "*.flac"))):
        song = FLAC(path)
        picture = Picture()
        picture.type, picture.mime, picture.data = 3, "image/jpeg", data
        song.add_picture(picture)
        song.save()
PY
        ;;
    cp-sync)
        cp -r "$work" "$CACHE/copy" && sync ;;
    esac
    end=$(now)
    # Every tool must have done the job it is timed for.
    if [ "$tool" != cp-sync ] &&
        ! metaflac --list --block-type=PICTURE "$work/Album 0/Song 0.flac" | grep PICTURE > /dev/null; then
        echo "$tool embedded nothing" >&2
        exit 1
    fi
    echo "$end - $start" | bc
}

printf '%s songs of %s MB, %s runs; seconds, median (range)\n' "$SONGS" "$SONG_MB" "$RUNS"
for library in room tight; do
    base="$CACHE/library-$library-$SONGS-$SONG_MB"
    [ "$library" = room ] && make_library "$base" 262144 || make_library "$base" 0
    for tool in quillmoth metaflac mutagen cp-sync; do
        times=()
        for ((run = 0; run < RUNS; ++run)); do times+=("$(time_tool "$base" "$tool")"); done
        sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
        printf '%-6s %-10s %8.2f   (%s)\n' "$library" "$tool" \
            "$(printf '%s\n' "${times[@]}" | median)" "$sorted"
    done
done
rm -rf "$CACHE/work" "$CACHE/copy" "$CACHE/data"
