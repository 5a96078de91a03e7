#!/bin/sh
# The guide's recipes, run for real.
# - Moodle VPL, as VPL runs it: its variables set, vpl_evaluate.sh, then
#   vpl_execution, for a right, a wrong and a broken program; the grade checked.
# - A class: one CSV line a student, a missing program named and given zeros.
#   recettes.sh SOURCES REPONDRE QUESTIONNAIRE
set -eu
sources=$1
repondre=$2
questionnaire=$3
essai=$(mktemp -d)
trap 'rm -rf "$essai"' EXIT
for eleve in juste faux casse; do
  d=$essai/$eleve
  mkdir -p "$d/outils" "$d/cas"
  cp "$sources/repondre/recettes/vpl_evaluate.sh" "$repondre" "$sources/lib/outils.cpp" "$d/"
  cp "$sources"/lib/outils/*.h "$d/outils/"
  cp "$sources/examples/questionnaire.attendu" "$d/cas/"
  cp "$sources/examples/questionnaire.cpp" "$d/"
  case $eleve in
    faux) sed -i 's/ ans, / annees, /' "$d/questionnaire.cpp" ;;
    casse) echo 'pas du C++' >> "$d/questionnaire.cpp" ;;
  esac
  # VPL reads the output, never the status.
  (cd "$d" && VPL_GRADEMIN=0 VPL_GRADEMAX=10 bash vpl_evaluate.sh && { ./vpl_execution > sortie.txt || true; })
done
grep -qx 'Grade :=>>10' "$essai/juste/sortie.txt"
grep -qx 'Grade :=>>0' "$essai/faux/sortie.txt"
grep -q '^-questionnaire : échoué (différence à la ligne 13)' "$essai/faux/sortie.txt"
grep -qx 'Grade :=>>0' "$essai/casse/sortie.txt"
grep -q '^Comment :=>>La compilation a échoué' "$essai/casse/sortie.txt"

mkdir -p "$essai/classe/cas" "$essai/classe/eleves/ada" "$essai/classe/eleves/bob"
cp "$sources/examples/questionnaire.attendu" "$essai/classe/cas/"
cp "$questionnaire" "$essai/classe/eleves/ada/programme"
PATH=$(dirname "$repondre"):$PATH sh "$sources/repondre/recettes/classe.sh" \
  "$essai/classe/eleves" "$essai/classe/cas" > "$essai/classe.csv" 2> "$essai/classe.txt"
printf 'nom;questionnaire;reussis;total\nada;1;1;1\nbob;0;0;1\n' | cmp - "$essai/classe.csv"
grep -qx 'bob : pas de programme' "$essai/classe.txt"
echo "recettes: ok"
