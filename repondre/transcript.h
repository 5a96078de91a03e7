// Transcripts: the screen as the person saw it, each typed answer in {{...}}
// where it was typed ({{^D}}: the end of input, Ctrl-D), line ends as LF.
#ifndef OUTILS_REPONDRE_TRANSCRIPT_H
#define OUTILS_REPONDRE_TRANSCRIPT_H

#include <string>
#include <vector>

// The answer that stands for Ctrl-D.
inline const std::string kFinDEntree = "^D";

// Line ends written as LF (CR LF, as files from Windows and the terminal have them).
std::string enFinsDeLigneLF(std::string texte);

// The answers of a file of answers: one a line, the last one with or without its LF.
std::vector<std::string> reponsesDe(const std::string& contenu);

// The answers of a transcript, in order; false, with `erreur` said in French,
// when a {{ is not closed.
bool reponsesDuTranscript(const std::string& transcript, std::vector<std::string>& reponses,
                          std::string& erreur);

// Where `obtenu` first differs from `attendu`, said in French: the line of
// `attendu`, both lines, and the characters just before; "" when they are the same.
std::string premiereDifference(const std::string& attendu, const std::string& obtenu);

#endif
