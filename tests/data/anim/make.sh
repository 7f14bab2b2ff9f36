#!/usr/bin/env bash
# Remakes the animated PNG and WebP test files and their reference frames
# with independent tools (Debian: imagemagick, apngasm, ffmpeg, webp):
# the pictures by ImageMagick, the files by apngasm, ffmpeg, img2webp,
# gif2webp, cwebp and apng_chunks.py (which only lays out chunks, for files
# whose dispose and blend operations must be chosen one by one), the
# reference frames by ffmpeg's APNG decoder, or the frames an encoder was
# given. Run from anywhere; writes beside itself.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
rm -rf "$here/ref" && mkdir -p "$here/ref"

# Pictures, RGBA 8 bits with partial alpha.
convert -size 40x30 gradient:'rgba(255,0,0,0.3)-rgba(0,0,255,1)' PNG32:base.png
convert -size 40x30 xc:'rgba(200,30,30,1)' PNG32:red.png
convert -size 16x12 xc:'rgba(0,200,0,0.5)' PNG32:patchA.png
convert -size 20x10 gradient:'yellow-rgba(0,255,255,0.25)' PNG32:patchB.png
convert -size 12x12 xc:'rgba(255,255,255,0.75)' -fill 'rgba(0,0,0,0.4)' -draw 'rectangle 2,2 8,8' PNG32:patchC.png
convert -size 10x8 xc:purple PNG32:patchD.png

# Every dispose (0 none, 1 background, 2 previous) and blend (0 source,
# 1 over) operation on sub-rectangles; delays of 0, 10, 20, 30 (a
# denominator of 0), 250 and 15 ms; two plays.
"$here/apng_chunks.py" "$here/ops.png" 40 30 2 \
  base.png:0:0:0:100:0:0 patchA.png:4:3:1:100:0:1 patchB.png:10:12:2:100:1:1 \
  patchC.png:20:5:3:0:2:1 patchD.png:25:20:1:4:0:0 patchA.png:0:0:15:1000:2:0
# A default image that is not part of the animation; one play.
"$here/apng_chunks.py" "$here/hidden.png" 40 30 1 --hidden red.png base.png:0:0:50:1000:0:0 patchD.png:5:5:100:1000:1:1

# apngasm chooses the colour type (palette here) and the rectangles itself.
for i in 0 1 2; do convert -size 24x16 xc:white -fill "rgb($((i * 100)),0,0)" -draw "rectangle $((i * 6)),2 $((i * 6 + 8)),12" PNG24:a$i.png; done
apngasm "$here/apngasm.png" a0.png a1.png a2.png 7 100 -l3 >/dev/null
# ffmpeg's encoder: grey levels, for ever.
ffmpeg -v error -f lavfi -i testsrc=size=32x24:rate=10 -frames:v 3 -pix_fmt gray -plays 0 -f apng -y "$here/gray.png"
# A plain PNG, interlaced.
convert base.png -interlace PNG PNG32:"$here/still.png"

for f in ops hidden apngasm gray; do
  ffmpeg -v error -i "$here/$f.png" -vf setpts=N -fps_mode passthrough -pix_fmt rgba -f image2 -y "$here/ref/$f-%02d.png"
done
convert "$here/still.png" PNG32:"$here/ref/still-01.png"

# WebP: the canvases of ops.png as frames, lossless, with 20, 10, 1, 100,
# 30 and 15 ms; the references are the frames given.
args=()
delays=(20 10 1 100 30 15)
for i in 1 2 3 4 5 6; do
  cp "$here/ref/ops-0$i.png" "ops-0$i.png"
  args+=(-d "${delays[$((i - 1))]}" "ops-0$i.png")
done
img2webp -lossless -loop 3 "${args[@]}" -o "$here/anim.webp" >/dev/null 2>&1
for i in 1 2 3 4 5 6; do cp "ops-0$i.png" "$here/ref/anim-0$i.png"; done
# gif2webp from a GIF of ImageMagick's (a transparent colour, delays of 2 and
# 5 hundredths, loop count 0); the references are ImageMagick's own frames.
convert -size 20x20 xc:none -fill red -draw 'rectangle 2,2 9,9' \
  \( -size 20x20 xc:none -fill blue -draw 'circle 12,12 16,16' \) \
  \( -size 20x20 xc:green \) -set delay 2 \( -size 20x20 xc:none -fill yellow -draw 'rectangle 0,0 5,19' -set delay 0 \) -loop 0 -dispose background gif.gif
gif2webp -quiet gif.gif -o "$here/gif.webp"
convert gif.gif -coalesce -scene 1 PNG32:"$here/ref/gif-%02d.png"
# A still WebP with alpha.
cwebp -quiet -lossless -exact base.png -o "$here/still.webp"
cp base.png "$here/ref/still-webp-01.png"
