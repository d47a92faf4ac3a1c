#!/usr/bin/env bash
# Regenerates the pictures, sounds and icon that Fablewick.rc embeds.
# Needs ImageMagick 6 (convert), sox and python3; the results are committed,
# so a build needs none of them. Re-running on the same tool versions gives
# the same bytes (fixed noise seeds, sox in repeatable mode).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
tool=(python3 "$here/content_tool.py")
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

for need in convert sox python3; do
  command -v "$need" >/dev/null || { echo "make_content.sh: $need is missing" >&2; exit 1; }
done

mkdir -p "$here/art" "$here/sounds" "$here/icon"
cd "$work"

# ===========================================================================
# Pictures
# ===========================================================================
W=560 H=420
caption_font=P052-Bold
caption_size=31

# The captions' names, rows and overlay heights come from the program's own
# catalogue. Right and bottom are exclusive: the gap rows and the column at
# x = 559 belong to no caption, so nothing lit or pressed may touch them.
eval "$("${tool[@]}" captions "$here/../launcher/hot_region.h")"
last=$((${#names[@]} - 1))

card() { # rank suit colour out
  convert -size 92x128 xc:none \
    -fill '#fbf8ef' -stroke '#8c8c8c' -strokewidth 1 -draw 'roundrectangle 0.5,0.5 91.5,127.5 8,8' \
    -stroke none -fill "$3" -font DejaVu-Serif-Bold -pointsize 17 -annotate +7+20 "$1" \
    -font DejaVu-Sans -pointsize 15 -annotate +8+37 "$2" \
    \( +clone -crop 26x42+3+3 +repage -rotate 180 \) -gravity SouthEast -geometry +3+3 -composite \
    -gravity center -pointsize 56 -annotate +0+2 "$2" "$4"
}

# Green baize with a soft vignette.
convert -size ${W}x${H} xc:'#23744a' -seed 11 -attenuate 0.35 +noise Gaussian -blur 0x0.7 \
  \( -size ${W}x${H} radial-gradient:'#ffffff'-'#7a7a7a' \) -compose multiply -composite \
  -depth 8 felt.png

# A fan of four court cards, each turned about a point below its foot.
card A '♠' '#1b1b1b' c1.png
card K '♥' '#c0182a' c2.png
card Q '♣' '#1b1b1b' c3.png
card J '♦' '#c0182a' c4.png
i=0
for angle in -30 -10 10 30; do
  i=$((i + 1))
  convert -size 360x330 xc:none c$i.png -geometry +134+90 -composite \
    -virtual-pixel transparent -distort SRT "180,290 1 $angle" f$i.png
done
convert f1.png f2.png -composite f3.png -composite f4.png -composite \
  \( +clone -background black -shadow 55x4+5+6 \) +swap -background none -layers merge +repage fan.png

# The scene without captions: table, cards, title, and the caption column
# with its gold rules on the gap rows.
rules=()
for ((i = 0; i < last; i++)); do rules+=(-draw "rectangle $col_left,${bottoms[$i]} 558,${bottoms[$i]}"); done
convert felt.png fan.png -geometry +8+12 -composite \
  -font P052-Bold-Italic -pointsize 50 -fill '#0c2a18' -annotate +62+372 Fablewick \
  -fill '#e9c25a' -annotate +59+369 Fablewick \
  -font P052-Roman -pointsize 16 -fill '#efe6cc' -annotate +100+398 'F O U R   C A R D   G A M E S' \
  \( -size 180x$H gradient:'#17532f'-'#0e3a20' \
     \( felt.png -crop 180x$H+$col_left+0 +repage -colorspace gray -normalize \) \
     -compose softlight -composite \) \
  -geometry +$col_left+0 -compose over -composite \
  -fill '#0a2716' -draw 'rectangle 378,0 378,419' \
  -fill '#c9a449' -draw 'rectangle 379,0 379,419' -draw 'rectangle 559,0 559,419' \
  "${rules[@]}" -depth 8 scene.png

# Three looks of every caption, each exactly the size of its region.
for i in $(seq 0 $last); do
  top=${tops[$i]} h=$((bottoms[i] - tops[i])) text=${names[$i]}
  convert scene.png -crop ${col_width}x$h+$col_left+$top +repage tile$i.png
  convert tile$i.png -gravity center -font $caption_font -pointsize $caption_size \
    -fill '#06160c' -annotate +2+2 "$text" -fill '#efe6cc' -annotate +0+0 "$text" \
    -depth 8 normal$i.png
  convert tile$i.png -modulate 118,100,100 \
    \( -size ${col_width}x$h xc:none -gravity center -font $caption_font -pointsize $caption_size \
       -fill '#ffcc33' -annotate +0+0 "$text" -blur 0x5 -channel A -evaluate multiply 1.6 +channel \) \
    -compose over -composite \
    -gravity center -font $caption_font -pointsize $caption_size \
    -fill '#3a2500' -annotate +2+2 "$text" -fill '#ffe27a' -annotate +0+0 "$text" \
    -depth 8 lit$i.png
  # Sunk into the table: darker, shadowed on the top and left, text moved
  # down and right by two pixels.
  convert tile$i.png -modulate 62,100,100 \
    -fill '#04120a' -draw "rectangle 0,0 178,2" -draw "rectangle 0,0 2,$((h - 1))" \
    -fill '#2a6e45' -draw "rectangle 0,$((h - 1)) 178,$((h - 1))" -draw "rectangle 178,0 178,$((h - 1))" \
    -gravity center -font $caption_font -pointsize $caption_size \
    -fill '#d1a636' -annotate +2+2 "$text" \
    -depth 8 sunk$i.png
done

cp scene.png base.png
for i in $(seq 0 $last); do
  convert base.png normal$i.png -geometry +$col_left+${tops[$i]} -composite -depth 8 base.png
done

bmp() { # png out width height
  convert "$1" -alpha off -type TrueColor -define bmp:format=bmp3 BMP3:"$2"
  "${tool[@]}" check-bmp "$2" "$3" "$4"
}

bmp base.png "$here/art/menu.bmp" $W $H
for i in $(seq 0 $last); do
  # Only the caption's own rectangle changes, so showing a hover picture
  # never disturbs its neighbours.
  convert base.png lit$i.png -geometry +$col_left+${tops[$i]} -composite -depth 8 hover$i.png
  bmp hover$i.png "$here/art/hover_$i.bmp" $W $H
  # An overlay is 180 wide and may reach below its region; outside the sunk
  # caption it repeats the plain artwork so it leaves no seam.
  convert base.png -crop 180x${pressed_heights[$i]}+$col_left+${tops[$i]} +repage \
    sunk$i.png -geometry +0+0 -composite -depth 8 pressed$i.png
  bmp pressed$i.png "$here/art/pressed_$i.bmp" 180 "${pressed_heights[$i]}"
done

# ===========================================================================
# Sounds
# ===========================================================================
# Every sound is synthesised to a float WAV first, then converted to raw
# samples of its final format and wrapped by content_tool.py.
SOX=(sox -R -V1)

finish() { # in.wav channels rate bits data-bytes out [--trailer]
  local in=$1 channels=$2 rate=$3 bits=$4 bytes=$5 out=$6
  local frames=$((bytes / (channels * bits / 8))) enc
  if [ "$bits" = 8 ]; then enc=(-e unsigned-integer -b 8); else enc=(-e signed-integer -b 16 -L); fi
  "${SOX[@]}" "$in" -t raw -r "$rate" -c "$channels" "${enc[@]}" final.raw pad 0 1 trim 0 "${frames}s"
  "${tool[@]}" wave --raw final.raw --channels "$channels" --rate "$rate" --bits "$bits" \
    --data-bytes "$bytes" --out "$out" "${@:7}"
}

tone() { # rate length out synth-args...  (a length in samples counts at 44.1 kHz)
  local rate=$1 len=$2 out=$3
  shift 3
  local voices=0 a
  for a in "$@"; do case $a in sine|square|triangle|sawtooth|pluck|pinknoise|whitenoise|brownnoise) voices=$((voices + 1));; esac; done
  # pluck only synthesises at 44.1 kHz or more; sox resamples on the way out.
  "${SOX[@]}" -c "$voices" -r 44100 -n -c 1 -b 16 -r "$rate" "$out" synth "$len" "$@"
}

# 128: the click, a short bright tick of wood on wood.
tone 22050 0.1408 click_a.wav pluck 1760 pluck 2637
"${SOX[@]}" -n -r 22050 -c 1 -b 16 click_b.wav synth 3104s whitenoise fade q 0 3104s 3060s highpass 2500
"${SOX[@]}" -m click_a.wav click_b.wav click.wav fade q 0.001 3104s 0.1 norm -3
finish click.wav 1 22050 8 3104 "$here/sounds/click.wav"

# 129 and 3179: a tiny tick and a soft tock, 2981 frames each.
tone 44100 2981s tick.wav pluck 3520
"${SOX[@]}" tick.wav tick2.wav fade q 0 2981s 0.05 norm -4
finish tick2.wav 1 44100 16 5962 "$here/sounds/tick.wav"
tone 44100 2981s tock.wav pluck 659.26 pluck 987.77
"${SOX[@]}" tock.wav tock2.wav fade q 0.001 2981s 0.04 norm -4
finish tock2.wav 1 44100 16 5962 "$here/sounds/tock.wav"

# 130: the quit chime, G5 falling to C5 over an octave.
tone 22050 0.13 q1.wav pluck G5 pluck G6 sine G5
tone 22050 0.2488 q2.wav pluck C5 pluck C6 sine C5
"${SOX[@]}" q1.wav q2.wav quit.wav fade q 0 8352s 0.15 norm -2
finish quit.wav 1 22050 16 16704 "$here/sounds/quit.wav"

# 3176: a riffle shuffle, odd-sized and followed straight by a sample chunk.
"${SOX[@]}" -n -r 22050 -c 1 -b 16 riffle.wav synth 8531s pinknoise tremolo 38 95 \
  bandpass 3200 1.2q fade q 0.02 8531s 0.12 norm -3
finish riffle.wav 1 22050 8 8531 "$here/sounds/shuffle.wav" --trailer

# 3177: a card dealt across the cloth.
"${SOX[@]}" -n -r 22050 -c 1 -b 16 deal.wav synth 8256s pinknoise highpass 1800 \
  fade h 0.06 8256s 0.3 norm -4
finish deal.wav 1 22050 8 8256 "$here/sounds/deal.wav" --trailer

# 3178: three chips dropped on a stack, odd-sized like the shuffle.
tone 22050 0.12 chip1.wav pluck 2960 pluck 3729
tone 22050 0.09 chip2.wav pluck 3322 pluck 4186
tone 22050 0.4521 chip3.wav pluck 2794 pluck 3951
"${SOX[@]}" chip1.wav chip2.wav chip3.wav chips.wav fade q 0 14599s 0.25 norm -3
finish chips.wav 1 22050 8 14599 "$here/sounds/chips.wav" --trailer

# 132: the opening tune, a little waltz-like phrase in C: the melody on the
# right, the accompaniment (bass and chord, one per beat) on the left, a long
# final chord that fades out.
beat=0.39
note() { # out seconds notes...
  local out=$1 len=$2
  shift 2
  local specs=() n
  for n in "$@"; do specs+=(pluck "$n"); done
  tone 44100 "$len" "$out" "${specs[@]}"
}
beats() { awk -v b="$beat" -v n="$1" 'BEGIN { printf "%.6f", b * n }'; }
melody=(
  "E5 0.5" "G5 0.5" "C6 1" "B5 0.5" "A5 0.5" "G5 1"
  "A5 1" "C6 0.5" "B5 0.5" "A5 1" "E5 1"
  "F5 0.5" "A5 0.5" "C6 1" "D6 0.5" "B5 0.5" "G5 1"
  "C6 4.0085"
)
parts=()
for k in "${!melody[@]}"; do
  set -- ${melody[$k]}
  note m$k.wav "$(beats "$2")" "$1"
  parts+=(m$k.wav)
done
"${SOX[@]}" "${parts[@]}" melody.wav

accomp=(
  "C3" "C4 E4 G4" "G2" "C4 E4 G4"
  "A2" "A3 C4 E4" "E2" "A3 C4 E4"
  "F2" "F3 A3 C4" "G2" "G3 B3 F4"
)
parts=()
for k in "${!accomp[@]}"; do
  note a$k.wav "$(beats 1)" ${accomp[$k]}
  parts+=(a$k.wav)
done
note a_end.wav "$(beats 4.0085)" C3 G3 C4 E4 G4
parts+=(a_end.wav)
"${SOX[@]}" "${parts[@]}" accomp.wav

"${SOX[@]}" -M melody.wav accomp.wav -c 2 tune.wav remix 1v0.8,2v0.45 1v0.45,2v0.8 \
  fade t 0 275328s 1.8 norm -2
finish tune.wav 2 44100 8 550656 "$here/sounds/opening.wav"

# ===========================================================================
# Icon: a red-backed card behind a white card with a heart at 32x32, the
# heart card alone at 16x16; both drawn at four times the size and reduced.
# ===========================================================================
convert -size 128x128 xc:none \
  \( -size 54x78 xc:none -fill '#a3172a' -stroke '#5a0c16' -strokewidth 3 -draw 'roundrectangle 2,2 51,75 7,7' \
     -stroke '#e8c25a' -strokewidth 2 -fill none -draw 'roundrectangle 9,9 44,68 4,4' \
     -background none -rotate -16 \) -geometry +8+12 -composite \
  \( -size 58x82 xc:none -fill '#fbf8ef' -stroke '#303030' -strokewidth 3 -draw 'roundrectangle 2,2 55,79 7,7' \
     -stroke none -fill '#c0182a' -font DejaVu-Sans -pointsize 50 -gravity center -annotate +0+2 '♥' \
     -background none -rotate 12 \) -gravity NorthWest -geometry +44+20 -composite \
  -filter box -resize 32x32 icon32.png
convert -size 64x64 xc:none \
  -fill '#fbf8ef' -stroke '#202020' -strokewidth 3 -draw 'roundrectangle 10,2 53,61 7,7' \
  -stroke none -fill '#c0182a' -font DejaVu-Sans -pointsize 46 -gravity center -annotate +0+2 '♥' \
  -filter box -resize 16x16 icon16.png
for s in 16 32; do
  convert icon$s.png -alpha extract -depth 8 gray:mask$s.raw
  # Edge pixels are blended on a dark grey, so the 1-bit mask leaves no halo
  # on light or dark desktops alike.
  convert icon$s.png -background '#404040' -alpha remove -alpha off +dither -colors 255 -depth 8 rgb:rgb$s.raw
done
"${tool[@]}" icon --image 16:rgb16.raw:mask16.raw --image 32:rgb32.raw:mask32.raw \
  --out "$here/icon/fablewick.ico"

echo "make_content.sh: wrote $here/art, $here/sounds and $here/icon"
