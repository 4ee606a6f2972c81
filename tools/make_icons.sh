#!/usr/bin/env bash
# Draws the launcher's two notification-area icons with ImageMagick and writes
# them beside the Linux realisation. Run once after changing the drawing; the
# PNG files are committed.
#   shown:  a blue tile with six white icon squares (the window's own icon)
#   hidden: a grey tile with six hollow squares and a small arrow pointing down
set -euo pipefail
out="$(cd "$(dirname "$0")/.." && pwd)/src/platform/linux/views/icons"
mkdir -p "$out"

# $1 size, $2 tile colour, $3 square fill, $4 square stroke, $5 file, $6 arrow polygon (optional)
draw() {
    local s=$1 r=$(( $1 / 8 )) m=$(( $1 / 16 ))
    local squares=""
    local cell=$(( ($1 - 2 * m) / 3 ))
    local gap=$(( cell / 5 > 0 ? cell / 5 : 1 ))
    for row in 0 1; do
        for col in 0 1 2; do
            local x=$(( m + col * cell + gap ))
            local y=$(( s / 4 + row * cell + gap - m ))
            squares+=" rectangle $x,$y $(( x + cell - 2 * gap )),$(( y + cell - 2 * gap ))"
        done
    done
    convert -size "${s}x${s}" xc:none \
        -fill "$2" -stroke none -draw "roundrectangle 0,0 $(( s - 1 )),$(( s - 1 )) $r,$r" \
        -fill "$3" -stroke "$4" -strokewidth 1 -draw "$squares" \
        ${6:+-fill '#ffb020' -stroke none -draw "polygon $6"} \
        -strip "PNG32:$out/$5"
}

for s in 16 32; do
    draw "$s" '#1f6fd1' '#ffffff' '#ffffff' "quillop-shown-$s.png"
    a=$(( s / 2 )) b=$(( s - s / 8 - 1 )) w=$(( s / 5 ))
    draw "$s" '#6b6b6b' 'none' '#d8d8d8' "quillop-hidden-$s.png" \
        "$(( a - w )),$(( b - w )) $(( a + w )),$(( b - w )) $a,$b"
done
