#!/usr/bin/env python3
"""Drives the Windows prompt program under wine from Linux, as a person would:
on a console (a raw Linux pseudo-terminal, which wine turns into a Windows
console), a pipe, a disk file and NUL. Each answer is typed once its prompt
has appeared.

Usage: invites_wine.py --liste              the cases' names, for CTest
       invites_wine.py EMULATOR PROGRAM CAS  runs one case; status 1 if it fails

The wine console's quirks, which the helpers below absorb:
- what the program writes comes wrapped in control sequences (CSI, OSC) and
  CRs, which are stripped before matching;
- spaces are drawn as cursor moves, not written: on a console, text is
  matched with its spaces removed;
- Enter is a CR on the raw terminal;
- a typed key is echoed only while the program reads; until then it waits in
  the console's input buffer, where a discard drops it unseen;
- the first run creates the wine prefix, which takes several seconds.
"""

import os
import pty
import re
import select
import subprocess
import sys
import tempfile
import time
import tty

EMULATEUR = PROGRAMME = None  # set by main()
DELAI = 30.0
# wine's console wraps what it writes in control sequences, and echoes input.
CONTROLE = re.compile(rb"\x1b\[[0-9;?]*[A-Za-z]|\x1b\][^\x07]*\x07|\r")


class Echec(Exception):
    pass


class Execution:
    """One run of the program; `entree` is "console", "tube", a file name or None (/dev/null),
    or a console on one side only: "console>tube" (input) or "tube>console" (output)."""

    def __init__(self, pas, entree):
        arguments = [EMULATEUR, PROGRAMME, *pas]
        self.brut, self.curseur, self.fin = b"", 0, time.monotonic() + DELAI
        self.console = entree in ("console", "tube>console")  # what it writes goes to a console
        self.fin_de_ligne = "\r" if entree in ("console", "console>tube") else "\n"
        if entree in ("console", "console>tube", "tube>console"):
            maitre, esclave = pty.openpty()
            tty.setraw(esclave)
            tube = subprocess.PIPE
            self.p = subprocess.Popen(arguments, stdin=tube if entree == "tube>console" else esclave,
                                      stdout=tube if entree == "console>tube" else esclave,
                                      stderr=esclave, start_new_session=True)
            os.close(esclave)
            self.lecture = self.p.stdout.fileno() if self.p.stdout else maitre
            self.ecriture = self.p.stdin.fileno() if self.p.stdin else maitre
        else:
            if entree == "tube":
                stdin = subprocess.PIPE
            elif entree is None:
                stdin = subprocess.DEVNULL
            else:
                stdin = open(entree, "rb")
            self.p = subprocess.Popen(arguments, stdin=stdin, stdout=subprocess.PIPE,
                                      stderr=subprocess.DEVNULL)
            self.lecture = self.p.stdout.fileno()
            self.ecriture = self.p.stdin.fileno() if entree == "tube" else None

    def texte(self):
        texte = CONTROLE.sub(b"", self.brut).decode("utf-8", "replace")
        # wine's console moves the cursor over spaces rather than writing them.
        return texte.replace(" ", "") if self.console else texte

    def lire(self, attente):
        if self.lecture is None:
            time.sleep(attente)
            return
        pret, _, _ = select.select([self.lecture], [], [], attente)
        if pret:
            try:
                bloc = os.read(self.lecture, 4096)
            except OSError:  # the console's other side is gone
                bloc = b""
            if bloc:
                self.brut += bloc
            else:
                self.lecture = None

    def attendre(self, motif, delai=None):
        if self.console:
            motif = motif.replace(" ", "")
        fin = time.monotonic() + delai if delai else self.fin
        while time.monotonic() < fin:
            trouve = self.texte().find(motif, self.curseur)
            if trouve >= 0:
                self.curseur = trouve + len(motif)
                return True
            if self.lecture is None and self.p.poll() is not None:
                break
            self.lire(0.05)
        if delai:
            return False
        raise Echec(f"{motif!r} n'est pas venu; sortie: {self.texte()!r}")

    def taper(self, texte):
        os.write(self.ecriture, texte.encode())

    def entrer(self, ligne):
        """Types a line and Enter, as the program's input takes it."""
        self.taper(ligne + self.fin_de_ligne)

    def fermer_entree(self):
        if self.p.stdin:
            self.p.stdin.close()
        self.ecriture = None

    def finir(self):
        while self.lecture is not None and time.monotonic() < self.fin:
            self.lire(0.05)
        try:
            self.p.wait(max(0.1, self.fin - time.monotonic()))
        except subprocess.TimeoutExpired:
            self.p.kill()
            raise Echec(f"le programme ne finit pas; sortie: {self.texte()!r}")
        if self.p.returncode != 0:
            raise Echec(f"statut {self.p.returncode}; sortie: {self.texte()!r}")


def fichier(contenu):
    descripteur, nom = tempfile.mkstemp(prefix="outils-wine-")
    os.write(descripteur, contenu)
    os.close(descripteur)
    return nom


def console_refus(e):
    e.attendre("entier? ")
    e.taper("abc\r")
    e.attendre("entier? ")
    e.taper("7\r")
    e.attendre("entier=7 etat=bon")


def console_tape_en_avance(e):
    e.attendre("ligne? ")
    e.taper("un\r")
    e.attendre("ligne=[un] etat=bon")
    e.taper("trop tot\r")  # while the program sleeps, before the next prompt
    e.attendre("ligne? ")
    e.taper("mot\r")
    e.attendre("ligne=[mot] etat=bon")


def console_ctrl_z(e):
    e.attendre("ligne? ")
    e.taper("\x1a\r")
    e.attendre("ligne=[] etat=ef")
    e.attendre("ligne? ")  # the next prompt reads the console again
    e.taper("suite\r")
    e.attendre("ligne=[suite] etat=bon")


def taper_quand_lu(e, touche, quoi):
    """Types `touche` until the console echoes it, which it does only while the
    program reads (a key typed too early may be dropped unechoed), then Enter."""
    for _ in range(20):
        e.taper(touche)
        if e.attendre(touche, 2.0):
            e.taper("\r")
            return
    raise Echec(f"{quoi} n'a jamais lu la console")


def console_suite(e):
    e.attendre("entier? ")
    e.taper("12 34\r")
    e.attendre("entier=12 etat=bon")
    e.attendre("lire=34 etat=bon")


def console_pause(e):
    # The pause shows its text, then discards what was typed.
    e.attendre("pause> ")
    taper_quand_lu(e, "x", "la pause")
    e.attendre("pause=1 etat=bon")


def tube_reponse(e):
    e.attendre("entier? ")
    e.taper("7\n")
    e.attendre("entier=7 etat=bon")


def tube_ferme_apres_refus(e):
    e.attendre("entier? ")
    e.taper("-3\n")
    e.attendre("entier? ")
    e.fermer_entree()
    e.attendre("entier=0 etat=ef")


def tube_cr_lf(e):
    e.attendre("ligne? ")
    e.taper("abc\r\n")
    e.attendre("ligne=[abc] etat=bon")


def prenom(tape, octets):
    """The accented prompt, an answer typed, drawn back as typed, and its size in bytes."""
    def cas(e):
        e.attendre("Prénom ? ")
        e.entrer(tape)
        e.attendre(f"prenom=[{tape}] {octets} octets etat=bon")
    return cas


def tape_apres_lecture(e):
    # What `lire` leaves of a line longer than one read of the console is
    # dropped with what was typed ahead; the answer that would follow is not taken.
    e.entrer("12" + " " * 1400 + "5")
    e.attendre("lire=12 etat=bon")
    e.attendre("entier? ")
    e.entrer("7")
    e.attendre("entier=7 etat=bon")


def console_ctrl_c(e):
    # Ctrl-C ends the console's read with nothing; where a handler of the
    # program takes it (wine calls none), the prompt reads again.
    e.attendre("entier? ")
    e.taper("\x03")
    taper_quand_lu(e, "7", "la lecture d'apres Ctrl-C")
    e.attendre("entier=7 etat=bon")


def ctrl_z_au_milieu(e):
    e.attendre("ligne? ")
    e.entrer("ab\x1a")  # the text before Ctrl-Z, the rest of that line dropped
    e.entrer("cd")
    e.attendre("ligne=[abcd] etat=bon")


def attendre_seulement(*motifs):
    def cas(e):
        for motif in motifs:
            e.attendre(motif)
    return cas


SANS_CLAVIER = [
    ("console: une reponse refusee", ["entier"], "console", console_refus),
    ("console: ce qui est tape en avance est oublie", ["ligne", "dormir:2000", "ligne"], "console",
     console_tape_en_avance),
    ("console: Ctrl-Z puis une seconde invite", ["ligne", "ligne"], "console", console_ctrl_z),
    ("console: la pause", ["pause"], "console", console_pause),
    ("console: la suite de la ligne reste pour la lecture suivante", ["entier", "lire"], "console",
     console_suite),
    ("tube: une reponse", ["entier"], "tube", tube_reponse),
    ("tube: ferme apres un refus", ["entier"], "tube", tube_ferme_apres_refus),
    ("tube: une reponse en CR LF", ["ligne"], "tube", tube_cr_lf),
    ("fichier sur disque: saute en entier", ["entier"], b"7\n", attendre_seulement("entier=0 etat=ef")),
    ("fichier sur disque: la pause rend la main", ["pause", "lire"], b"\n12\n",
     attendre_seulement("pause=1 etat=e", "lire=0 etat=ef")),
    ("NUL: fin de l'entree", ["nul", "entier", "lettre:"], "tube",
     attendre_seulement("entier=0 etat=ef", "lettre=255 etat=ef")),
    ("NUL: le masque de l'appelant", ["nul", "exceptions", "entier"], "tube",
     attendre_seulement("entier? ", "entier=exception etat=ef")),
    ("/dev/null: fin de l'entree", ["entier"], None, attendre_seulement("entier=0 etat=ef")),
]

# Every case again with a clavier, which changes nothing of what they check.
CAS = SANS_CLAVIER + [(nom + " (clavier)", ["clavier", *pas], entree, deroule)
                      for nom, pas, entree, deroule in SANS_CLAVIER] + [
    # Input code page 850: without a clavier, "Hélène" comes as 6 bytes, and
    # the prompt's UTF-8 is drawn as if it were in the console's code page.
    ("clavier: UTF-8 lu et affiche sur la console", ["cp:850", "clavier", "prenom"], "console",
     prenom("Hélène", 8)),
    ("clavier: une paire de substitution coupee entre deux lectures", ["clavier", "prenom"],
     "console", prenom("a" * 1363 + "😀", 1367)),
    ("clavier: seule l'entree est une console", ["cp:850", "clavier", "prenom"], "console>tube",
     prenom("Hélène", 8)),
    ("clavier: seule la sortie est une console", ["clavier", "prenom"], "tube>console",
     prenom("Hélène", 8)),
    ("clavier: la fin d'une longue ligne est oubliee", ["clavier", "lire", "entier"], "console",
     tape_apres_lecture),
    ("clavier: Ctrl-Z au milieu d'une ligne", ["clavier", "ligne"], "console", ctrl_z_au_milieu),
    ("clavier: Ctrl-C pris par le programme", ["clavier", "interruption", "entier"], "console",
     console_ctrl_c),
]


def identifiant(nom):
    return re.sub(r"[^a-z0-9]+", "_", nom.lower()).strip("_")


def main():
    if sys.argv[1:] == ["--liste"]:
        print(";".join(identifiant(nom) for nom, _, _, _ in CAS))
        return 0
    global EMULATEUR, PROGRAMME
    EMULATEUR, PROGRAMME, voulu = sys.argv[1], sys.argv[2], sys.argv[3]
    for nom, pas, entree, deroule in CAS:
        if identifiant(nom) != voulu:
            continue
        temporaire = fichier(entree) if isinstance(entree, bytes) else None
        e = Execution(pas, temporaire or entree)
        try:
            deroule(e)
            e.fermer_entree()
            e.finir()
            print(f"ok      {nom}")
            return 0
        except Echec as erreur:
            e.p.kill()
            print(f"ECHEC   {nom}: {erreur}")
            return 1
        finally:
            if temporaire:
                os.unlink(temporaire)
    print(f"cas inconnu: {voulu}")
    return 1


if __name__ == "__main__":
    sys.exit(main())
