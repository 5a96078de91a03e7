// Transcripts: the screen as the person saw it, each typed answer in {{...}}
// where it was typed ({{^D}}: the end of input, Ctrl-D), line ends as LF.
//
// Reading, inside and outside answers: a backslash before {, }, \ or ^ makes
// that character plain text; any other backslash is plain text. {{ opens an
// answer, the next unescaped }} closes it, on the same line. {{^D}} is
// Ctrl-D, {{\^D}} the text ^D. Writing escapes only what reading needs:
// a \ before { } \ ^ or at the end of an answer or of the text before one,
// a text { before {, an answer's } before } or at its end, the answer ^D.
#ifndef OUTILS_REPONDRE_TRANSCRIPT_H
#define OUTILS_REPONDRE_TRANSCRIPT_H

#include <cstddef>
#include <string>
#include <vector>

// The longest answer a terminal in line mode takes, in bytes.
inline constexpr std::size_t kReponseMax = 4095;

// One piece of a transcript: text shown, an answer typed (without its line
// feed), or Ctrl-D.
struct Morceau {
  enum Sorte { texte, reponse, finDEntree };
  Sorte sorte = texte;
  std::string contenu;
  bool operator==(const Morceau& autre) const {
    return sorte == autre.sorte && contenu == autre.contenu;
  }
};
using Transcript = std::vector<Morceau>;

// Reads a transcript; false, with `erreur` said in French (its line), when a
// {{ is not closed on its line or an answer cannot be typed on a terminal.
bool lireTranscript(const std::string& source, Transcript& transcript, std::string& erreur);

// Writes a transcript so that lireTranscript() gives it back.
std::string ecrireTranscript(const Transcript& transcript);

// The answers of a file of answers, one a line (CR LF or LF, the last one
// with or without it): a line ^D is Ctrl-D, and a backslash that starts a
// line is dropped (\^D is the text ^D). False as lireTranscript().
bool lireReponses(const std::string& contenu, Transcript& reponses, std::string& erreur);

// The screen as compared: consecutive texts joined, and a CR just before a
// line feed, which a screen does not show, dropped.
Transcript ecranDe(const Transcript& transcript);

// `texte` on one line, with what cannot be seen shown: \\ for a backslash,
// \n, \r, \t, \xNN for other control bytes, DEL, bytes that are not UTF-8
// and U+FFFE/U+FFFF, and · for a blank that ends a line (at the end of
// `texte` too when `finDeLigne`).
std::string visible(const std::string& texte, bool finDeLigne = false);

// The line of `attendu` where `obtenu` first differs from it (both written
// transcripts), counted from 1; 0 when they are the same.
std::size_t ligneDifferente(const std::string& attendu, const std::string& obtenu);

// The lines `premiere` to `derniere` of `texte` (from 1), each shown visible
// between « », one a line, indented by `retrait`.
std::string lignesVisibles(const std::string& texte, std::size_t premiere, std::size_t derniere,
                           const std::string& retrait);

// Where `obtenu` first differs from `attendu` (both written transcripts),
// said in French: the line of `attendu`, both lines, and the characters just
// before; "" when they are the same.
std::string premiereDifference(const std::string& attendu, const std::string& obtenu);

#endif
