#!/usr/bin/env bash
# The main job: builds Kivoly and shows what it does.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build >/dev/null

# The main job: pictures captured from the simulated digitizer, which stands in for the device
# behind the parallel port register by register. It is fed the test photograph (or, without
# --video, colour bars); each capture tells its device time (what the hardware takes, at one
# microsecond a port access) and the time it took here.
pictures=build/pictures
mkdir -p "$pictures"
settings=$(mktemp -d)
echo "== kivoly capture --simulate: pictures from the simulated digitizer in $pictures"
for quality in 0 1 2 3; do
    KIVOLY_HOME=$settings build/bin/kivoly capture --simulate --camera --quality "$quality" \
        --video tests/data/natural.png -o "$pictures/captured-q$quality.png"
done
KIVOLY_HOME=$settings build/bin/kivoly capture --simulate --camera --quality 2 --size 1500x1125 \
    -o "$pictures/captured-bars-1500.bmp"
echo
echo "== kivoly preview: three frames of the live preview (160 x 120 grey)"
KIVOLY_HOME=$settings build/bin/kivoly preview --simulate --video tests/data/natural.png \
    --frames 3 -o "$pictures/preview"
echo
echo "== faults of the simulated digitizer end as the library reports them"
for fault in no-video noisy-link; do
    echo "-- --fault $fault:"
    KIVOLY_HOME=$settings build/bin/kivoly capture --simulate --fault "$fault" \
        -o "$pictures/fault.png" || true
done
rm -rf "$settings"
echo

echo "== kivoly settings: the records as the library loads them from your settings folder"
build/bin/kivoly settings

# A hand-edited settings file shows the encodings: only a first letter F or T flips a boolean,
# the port is hexadecimal, the width alone decides the size, the lock time must lie in 0.3-2.0.
demo=$(mktemp -d)
trap 'rm -rf "$demo"' EXIT
cat >"$demo/kivoly.ini" <<'INI'
[KivoAcquireInformation]
Quality=2
ParallelPort=10
UseColor=no
CameraInput=True
VideoLockTime=2
[ProcessingSettings]
Width=800
Height=600
Brightness=-12
ShowWhileProcessing=False
INI
echo
echo "== the same for this hand-edited kivoly.ini:"
sed 's/^/    /' "$demo/kivoly.ini"
echo
build/bin/kivoly settings --folder "$demo"

# A picture from a raw capture, with no file of yours: the built-in colour bars and the test
# photograph are encoded as NTSC captures (.nsr), then decoded and converted to pictures.
pictures=build/pictures
mkdir -p "$pictures"
echo
echo "== kivoly encode, then kivoly decode: raw captures to pictures in $pictures"
build/bin/kivoly encode --bars --quality 2 -o "$pictures/bars.nsr"
build/bin/kivoly encode tests/data/natural.png --quality 2 -o "$pictures/natural.nsr"
build/bin/kivoly decode "$pictures/bars.nsr" "$pictures/natural.nsr" --quality 2 --size 640x480 \
    --format png -o "$pictures"
build/bin/kivoly decode "$pictures/natural.nsr" --quality 2 --size 1500x1125 --sharpness 10 \
    -o "$pictures/natural-1500.bmp"
