#!/usr/bin/env bash
# make_refs.sh REFDIR: LibreOffice's text export of every corpus document,
# as REFDIR/<source folder>/<base name>.txt, one office run per 30 files
# and a private office profile under REFDIR.
set -euo pipefail
refs=$(realpath -m "$1")
corpus=${TESSALY_CORPUS_DIR:-$(dirname "$0")/../../../shared/corpus/doc}
cd "$corpus"
tail -n +2 MANIFEST.tsv | cut -f1 | while read -r f; do
  out="$refs/$(dirname "$f")/$(basename "${f%.*}").txt"
  [ -f "$out" ] || echo "$f"
done > "$refs.todo" || true
mkdir -p "$refs/profile"
for folder in $(cut -d/ -f1 "$refs.todo" | sort -u); do
  mkdir -p "$refs/$folder"
  grep "^$folder/" "$refs.todo" | xargs -d '\n' -n 30 timeout 600 soffice \
    -env:UserInstallation="file://$refs/profile" --headless --convert-to txt:Text --outdir "$refs/$folder" \
    >/dev/null 2>&1 || true
done
rm -f "$refs.todo"
