#!/usr/bin/env bash
# The main job: builds Kivoly and shows what it does.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build >/dev/null

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
