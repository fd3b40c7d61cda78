#!/usr/bin/env bash
# Builds a MIME database from the program's shared-mime-info file alone and
# checks that .eti and .vrl files get the program's types.
#   check_mime.sh quillmark-mime.xml WORK_DIR
set -euo pipefail
xml=$1
work=$2
rm -rf "$work"
mkdir -p "$work/mime/packages"
cp "$xml" "$work/mime/packages/quillmark.xml"
update-mime-database "$work/mime"
for type in application/x-quillmark-design:eti application/x-quillmark-format:vrl; do
  mime=${type%:*}
  ext=${type##*:}
  grep -qx "$mime:\*\.$ext" "$work/mime/globs" || { echo "no glob *.$ext for $mime"; exit 1; }
  [ -f "$work/mime/${mime}.xml" ] || { echo "no entry for $mime"; exit 1; }
done
echo "MIME types for .eti and .vrl are known"
