#!/usr/bin/env python3
"""Drives the Windows prompt program under wine from Linux, as a person would:
on a console (a raw Linux pseudo-terminal, which wine turns into a Windows
console), a pipe, a disk file and NUL. Each answer is typed once its prompt
has appeared. Usage: invites_wine.py EMULATOR essai_invites.exe"""

import os
import pty
import re
import select
import subprocess
import sys
import tempfile
import time
import tty

EMULATEUR, PROGRAMME = sys.argv[1], sys.argv[2]
DELAI = 30.0
# wine's console wraps what it writes in control sequences, and echoes input.
CONTROLE = re.compile(rb"\x1b\[[0-9;?]*[A-Za-z]|\x1b\][^\x07]*\x07|\r")


class Echec(Exception):
    pass


class Execution:
    """One run of the program; `entree` is "console", "tube", a file name or None (/dev/null)."""

    def __init__(self, pas, entree):
        arguments = [EMULATEUR, PROGRAMME, *pas]
        self.brut, self.curseur, self.fin = b"", 0, time.monotonic() + DELAI
        self.console = entree == "console"
        if self.console:
            maitre, esclave = pty.openpty()
            tty.setraw(esclave)
            self.p = subprocess.Popen(arguments, stdin=esclave, stdout=esclave, stderr=esclave,
                                      start_new_session=True)
            os.close(esclave)
            self.lecture = self.ecriture = maitre
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

    def fermer_entree(self):
        if self.ecriture is not None and self.ecriture != self.lecture:
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


def console_pause(e):
    # The pause shows its text, then discards: Enter again until it is taken.
    e.attendre("pause> ")
    for _ in range(60):
        e.taper("\r")
        if e.attendre("pause=1 etat=bon", 0.5):
            return
    raise Echec("la pause n'a pris aucune ligne")


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


def attendre_seulement(*motifs):
    def cas(e):
        for motif in motifs:
            e.attendre(motif)
    return cas


CAS = [
    ("console: une reponse refusee", ["entier"], "console", console_refus),
    ("console: ce qui est tape en avance est oublie", ["ligne", "dormir:2000", "ligne"], "console",
     console_tape_en_avance),
    ("console: Ctrl-Z puis une seconde invite", ["ligne", "ligne"], "console", console_ctrl_z),
    ("console: la pause", ["pause"], "console", console_pause),
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


def main():
    echecs = 0
    for nom, pas, entree, deroule in CAS:
        temporaire = fichier(entree) if isinstance(entree, bytes) else None
        e = Execution(pas, temporaire or entree)
        try:
            deroule(e)
            e.fermer_entree()
            e.finir()
            print(f"ok      {nom}")
        except Echec as erreur:
            echecs += 1
            e.p.kill()
            print(f"ECHEC   {nom}: {erreur}")
        finally:
            if temporaire:
                os.unlink(temporaire)
    print(f"{len(CAS) - echecs} sur {len(CAS)} cas sous wine")
    return 1 if echecs else 0


if __name__ == "__main__":
    sys.exit(main())
