#!/bin/bash
# Évaluation d'un programme de console par repondre, dans Moodle VPL.
#
# Fichiers d'exécution de l'activité : ce script, le repondre statique,
# outils.cpp et les en-têtes dans outils/, et les cas dans cas/ (NOM.attendu).
# VPL le lance avec VPL_GRADEMIN et VPL_GRADEMAX : il compile les .cpp de
# l'élève avec la bibliothèque, puis écrit vpl_execution, que VPL lance
# ensuite et dont il lit les commentaires et la note.
[ -f vpl_environment.sh ] && . ./vpl_environment.sh

sources=()
for f in *.cpp; do [ "$f" != outils.cpp ] && sources+=("$f"); done
{
  echo '#!/bin/bash'
  printf 'export VPL_GRADEMIN=%q VPL_GRADEMAX=%q\n' "${VPL_GRADEMIN:-0}" "${VPL_GRADEMAX:-10}"
} > vpl_execution
if g++ -std=c++17 -O2 -I . -o programme "${sources[@]}" outils.cpp 2> compilation.txt; then
  echo 'exec ./repondre --format vpl --delai 5 cas/ -- ./programme' >> vpl_execution
else
  cat >> vpl_execution <<'FIN'
echo 'Comment :=>>La compilation a échoué :'
sed 's/^/Comment :=>>/' compilation.txt
echo "Grade :=>>$VPL_GRADEMIN"
FIN
fi
chmod +x vpl_execution
