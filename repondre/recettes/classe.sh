#!/bin/sh
# Corrige une classe : un dossier par élève (ELEVES/NOM/), avec son programme
# compilé (ELEVES/NOM/programme), et les cas dans CAS/. Écrit sur la sortie un
# CSV d'une ligne par élève ; un élève sans programme (sa compilation a
# échoué) a 0 partout, et il est nommé sur la sortie d'erreur.
#   classe.sh ELEVES CAS > classe.csv
eleves=${1:?ELEVES} cas=${2:?CAS}
entete=--entete
for dossier in "$eleves"/*/; do
  nom=$(basename "$dossier")
  [ -x "$dossier/programme" ] || echo "$nom : pas de programme" >&2
  repondre --format csv --nom "$nom" $entete -j 2 --delai 3 "$cas" -- "$dossier/programme"
  entete=
done
