# Sourced by the scripts that build and run the program under Wine. Wine runs a 32-bit Windows
# program only where the kernel runs 32-bit Linux programs; where it does not, these scripts
# build and run the 64-bit build of the same sources instead (the presets debug64 and
# release64, in build64 and build-release64), in 64-bit Wine prefixes, and say so.
# Sets bits to "" or "64", the suffix of the presets and build folders to use.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    bits=
else
    bits=64
    export WINEARCH=win64
    echo "${0##*/}: this machine runs no 32-bit Linux program (IA-32 emulation is off), so Wine" \
        "runs no 32-bit Windows program here: using the 64-bit build of the same sources" >&2
fi
