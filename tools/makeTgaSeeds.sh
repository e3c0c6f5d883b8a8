#!/usr/bin/env bash
# Writes the TGA fuzzer's seed corpus with ImageMagick: small true-colour files of every kind
# the game reads (16, 24, 32 bits; raw and run-length; with an ID field; both origins; odd
# sizes) and a few it refuses (colour-mapped, 8-bit grey), each well under 4 KB.
#   tools/makeTgaSeeds.sh [output-dir]   (default: fuzz/corpus/fuzz_tga)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
out=${1:-fuzz/corpus/fuzz_tga}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Sources: a smooth gradient (long runs), a noisy pattern (raw packets) and flat odd sizes.
convert -size 13x9 gradient:'#ff2000-#0020ff' "$work/gradient.png"
convert -size 7x5 pattern:checkerboard -fill '#30c050' -draw 'point 3,2' "$work/check.png"
convert -size 1x1 xc:'#8040c0' "$work/dot.png"
convert -seed 7 -size 9x7 plasma:fractal "$work/noise.png"
convert -size 13x1 gradient:'#000000-#ffffff' -rotate 90 "$work/line.png"
convert "$work/gradient.png" -alpha set -channel A -fx 'i/w' +channel "$work/alpha.png"

seed() { # name source options...
    local name=$1 source=$2
    shift 2
    convert "$work/$source.png" "$@" "$out/$name.tga"
}
for source in gradient check dot line noise; do
    seed "${source}-24" "$source" -type TrueColor
    seed "${source}-24-rle" "$source" -type TrueColor -compress RLE
    seed "${source}-16" "$source" -type TrueColor -depth 5
    seed "${source}-16-rle" "$source" -type TrueColor -depth 5 -compress RLE
done
seed alpha-32 alpha -type TrueColorAlpha
seed alpha-32-rle alpha -type TrueColorAlpha -compress RLE
seed alpha-32-topleft alpha -type TrueColorAlpha -orient TopLeft
seed check-24-topleft-rle check -type TrueColor -orient TopLeft -compress RLE
seed gradient-24-id gradient -type TrueColor -set comment 'sky map for the test scene'
seed check-24-id-rle-topleft check -type TrueColor -compress RLE -orient TopLeft -set comment id
seed check-mapped check -type Palette
seed check-mapped-rle check -type Palette -compress RLE
seed gradient-grey gradient -type Grayscale

too_big=$(find "$out" -name '*.tga' -size +4095c)
if [ -n "$too_big" ]; then
    echo "seeds over 4 KB: $too_big" >&2
    exit 1
fi
ls -l "$out"
