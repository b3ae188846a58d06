#!/usr/bin/env bash
# end_to_end.sh TESSALY_REPAIR CORPUS: damages three corpus documents (their
# compound-file signature overwritten), repairs them with the real Word
# server as a Word document and as text, and checks the exit statuses and
# the outputs; bad usage gives 2 and writes nothing.
set -euo pipefail
repair=$1 corpus=$2
[ -d "$corpus" ] || { echo "no corpus: skipped"; exit 0; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TESSALY_REGISTRY=$work/registry.ini XDG_CACHE_HOME=$work/cache TMPDIR=$work/tmp
mkdir -p "$work/tmp" "$work/in" "$work/out"
printf '[HKEY_CLASSES_ROOT\\Word.Application\\CurVer]\n@=REG_SZ:Word.Application.11\n' > "$TESSALY_REGISTRY"
n=0
for f in $(ls "$corpus"/antiword/*.doc "$corpus"/*/*.doc 2>/dev/null | head -3); do
  n=$((n + 1))
  cp "$f" "$work/in/doc$n.doc"
  printf 'TESSALY-DAMAGED-SIGNATUR' | dd of="$work/in/doc$n.doc" bs=1 seek=0 count=24 conv=notrunc status=none
done
[ "$n" -gt 0 ] || { echo "no corpus documents: skipped"; exit 0; }

set +e
"$repair" --bogus "$work/in" 2>"$work/err"; status=$?
set -e
[ "$status" -eq 2 ] && grep -q "unknown option" "$work/err"
[ -z "$(ls "$work/out")" ]

"$repair" --out "$work/out" "$work/in"
[ "$(ls "$work/out" | grep -c '^Recovered_[0-9]_DOC[0-9].DOC$')" -eq "$n" ]
"$repair" --text "$work/in/doc1.doc"
[ -s "$work/in/recovered_doc1.txt" ]
echo "end to end: $n damaged documents repaired"
