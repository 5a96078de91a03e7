#include <fcntl.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <locale>
#include <memory>
#include <sstream>
#include <type_traits>
#include <utility>
#include <vector>

#include <outils/fichier.h>

#include "aides.h"
#include "gtest/gtest.h"

namespace {

// Puts a directory's descriptor in place of the reader's descriptor of `nom`,
// so that its next read of the system fails (EISDIR). Linux: it finds the
// descriptor in /proc/self/fd; elsewhere the row is skipped, and false returned.
bool remplacerParUnRepertoire(const std::string& nom) {
#if defined(_WIN32)
  [&] {
    GTEST_SKIP() << "a read error of the system is made through /proc/self/fd (Linux): " << nom;
  }();
  return false;
#elif defined(_LIBCPP_VERSION)
  [&] {
    GTEST_SKIP() << "libc++ reads files through a C stream, which has already seen the end of "
                    "this small file and, glibc's end of file being sticky, never reads again: "
                 << nom;
  }();
  return false;
#else
  for (const auto& entree : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code erreur;
    if (std::filesystem::read_symlink(entree.path(), erreur) != nom) continue;
    const int repertoire = open("/", O_RDONLY | O_DIRECTORY);
    const bool remplace =
        repertoire >= 0 && dup2(repertoire, std::stoi(entree.path().filename().string())) >= 0;
    EXPECT_TRUE(remplace) << nom;
    if (repertoire >= 0) close(repertoire);
    return remplace;
  }
  ADD_FAILURE() << "the reader's descriptor of " << nom << " was not found";
  return false;
#endif
}

// A French program's global locale: a blank groups thousands, a comma marks decimals.
struct PonctuationFrancaise : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return ' '; }
  std::string do_grouping() const override { return "\3"; }
};

TEST(Fichier, LitChaqueSorteDeValeurQuelleQueSoitLaLocaleDuProgramme) {
  std::vector<std::locale> globales{std::locale::classic()};
#if defined(__cpp_rtti) || defined(__GXX_RTTI) || defined(_CPPRTTI)
  // libstdc++ installs a facet through dynamic_cast: one of our own needs RTTI.
  globales.emplace_back(std::locale::classic(), new PonctuationFrancaise);
#endif
  for (const auto& globale : globales) {
    const std::locale ancienne = std::locale::global(globale);
    aides::FichierTemporaire t("12 3.5 x mot fin");
    aides::SortieCapturee messages;
    fichier f(t.nom());
    int n = 0;
    float x = 0;
    char c = 'z';
    std::string s;
    f.lire(n).lire(x).lire(c).lire(s);
    EXPECT_EQ(n, 12);
    EXPECT_FLOAT_EQ(x, 3.5f);
    EXPECT_EQ(c, ' ');  // the blank before x: a character read skips nothing
    EXPECT_EQ(s, "x");
    f.lire(s);
    EXPECT_EQ(s, "mot");
    char dernier[8] = "avant";
    f.lire(dernier);  // ends exactly at the end of the file: not a failure
    EXPECT_STREQ(dernier, "fin");
    EXPECT_TRUE(f);
    EXPECT_FALSE(f.sauterBlancs());
    EXPECT_EQ(messages.lus(), "");
    std::locale::global(ancienne);
  }
}

// A read that stores its zero value: true when it did.
using Lecture = std::function<bool(fichier&)>;
template <class T>
Lecture lireEn(T avant) {
  return [avant](fichier& f) {
    T valeur = avant;
    f.lire(valeur);
    return valeur == T();
  };
}

TEST(Fichier, UneLectureEchoueeStockeZeroEtLeDit) {
  struct Cas {
    const char* contenu;
    Lecture lecture;
    const char* message;
    bool erreurSysteme = false;  // the system's read fails (EISDIR) once the buffer is used up
  };
  const Lecture apresLePremier = [](fichier& f) {  // the read after the only character
    char c = 0;
    f.lire(c);
    return lireEn('z')(f);
  };
  const Lecture mot = [](fichier& f) {
    char m[8] = "avant";
    f.lire(m);
    return m[0] == '\0';
  };
  const Lecture ligneApresLaDerniere = [](fichier& f) {
    std::string l;
    f.lireLigne(l);
    l = "avant";
    f.lireLigne(l);
    return l.empty();
  };
  const Cas cas[] = {
      {"abc", lireEn(5), "erreur 1 attendu entier\n"},
      {"99999999999", lireEn(5), "erreur 1 attendu entier\n"},
      {"abc", lireEn(5L), "erreur 1 attendu entier\n"},
      {"99999999999999999999", lireEn(5LL), "erreur 1 attendu entier\n"},
      {"abc", lireEn(5.0f), "erreur 1 attendu naturel\n"},
      {"abc", lireEn(5.0), "erreur 1 attendu naturel\n"},
      {"\n", apresLePremier, "erreur 1 attendu charactere\n"},
      {" \n ", lireEn(std::string("avant")), "erreur 1 attendu serie de charactere\n"},
      {" \n ", mot, "erreur 1 attendu serie de charactere\n"},
      {"x", ligneApresLaDerniere, "erreur 1 attendu ligne\n"},
      {"12", lireEn(5), "erreur 1 attendu entier\n", true},
      {"12", lireEn(5.0), "erreur 1 attendu naturel\n", true},
      {"\n", apresLePremier, "erreur 1 attendu charactere\n", true},
      {"mot", lireEn(std::string("avant")), "erreur 1 attendu serie de charactere\n", true},
      {"mot", mot, "erreur 1 attendu serie de charactere\n", true},
  };
  for (const auto& c : cas) {
    aides::FichierTemporaire t(c.contenu);
    aides::SortieCapturee messages;
    fichier f(t.nom());
    if (c.erreurSysteme && !remplacerParUnRepertoire(t.nom())) continue;
    EXPECT_TRUE(c.lecture(f)) << c.contenu;
    EXPECT_EQ(messages.lus(), c.message) << c.contenu;
    EXPECT_FALSE(f);
    EXPECT_FALSE(f.sauterBlancs());
  }
}

TEST(Fichier, LitLesReelsAvecUnPointOuUneVirgule) {
  struct Cas {
    const char* contenu;
    const char* commeStrtod;  // the same number with a point, or nullptr: no number
    const char* reste;        // the next word, left pending
  };
  const Cas cas[] = {
      {"12,5", "12.5", ""},
      {"12.5", "12.5", ""},
      {"-3", "-3", ""},
      {"1e3", "1e3", ""},
      {"0", "0", ""},
      {".5", ".5", ""},
      {"5.", "5.", ""},
      {"+2,25E-2", "+2.25E-2", ""},
      {"3,14159265358979323846264338327950288", "3.14159265358979323846264338327950288", ""},
      {"1e-320", "1e-320", ""},
      {"12,", "12", ","},
      {"12,5abc", "12.5", "abc"},
      {"1,2,3", "1.2", ",3"},
      {"0x1p3", "0", "x1p3"},
      {",5", nullptr, ""},
      {"abc", nullptr, ""},
      {"inf", nullptr, ""},
      {"nan", nullptr, ""},
      {"1e999", nullptr, ""},
      {"-", nullptr, ""},
      {"1e+", nullptr, ""},
      {"3E-x", nullptr, ""},
      {"12euros", "12", "euros"},  // an e followed by neither a digit nor a sign ends it
      {"3e", "3", "e"},
      {"12,5E", "12.5", "E"},
  };
  // The program's C locale: the "C" one, and one whose decimal point is two bytes.
  std::vector<std::string> localesC{"C"};
#if defined(__GLIBC__)
  localesC.push_back(aides::localeAPointLong());
  ASSERT_FALSE(localesC.back().empty()) << "localedef could not make ps_AF.UTF-8";
#endif
  for (const auto& c : cas) {
    for (const auto& locale : localesC) {
      aides::FichierTemporaire t(c.contenu);
      aides::SortieCapturee messages;
      fichier lecteurDouble(t.nom()), lecteurFloat(t.nom());
      double d = -1;
      float x = -1;
      ASSERT_NE(std::setlocale(LC_ALL, locale.c_str()), nullptr) << "locale " << locale;
      lecteurDouble.lire(d);
      lecteurFloat.lire(x);
      std::setlocale(LC_ALL, "C");
      if (!c.commeStrtod) {
        EXPECT_EQ(d, 0.0) << c.contenu;
        EXPECT_EQ(messages.lus(), "erreur 1 attendu naturel\nerreur 1 attendu naturel\n");
        continue;
      }
      EXPECT_EQ(std::memcmp(&d, &static_cast<const double&>(std::strtod(c.commeStrtod, nullptr)),
                            sizeof d),
                0)
          << c.contenu << ": " << d;
      EXPECT_EQ(x, std::strtof(c.commeStrtod, nullptr)) << c.contenu;
      std::string reste;
      if (lecteurDouble.sauterBlancs()) lecteurDouble.lire(reste);
      EXPECT_EQ(reste, c.reste) << c.contenu;
      EXPECT_EQ(messages.lus(), "") << c.contenu;
    }
  }
}

TEST(Fichier, LEchecResteJusquAUneNouvelleOuvertureApresFermer) {
  for (const bool fermerDAbord : {false, true}) {  // a failed read, or reads after fermer()
    aides::FichierTemporaire t("abc def");
    aides::SortieCapturee messages;
    fichier f(t.nom());
    if (fermerDAbord) {
      f.fermer();
      EXPECT_TRUE(f);  // closing an open file succeeds
    }
    int n = 7;
    std::string s = "avant";
    f.lire(n).lire(s);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(s, "");
    EXPECT_EQ(messages.lus(), "erreur 1 attendu entier\nerreur 1 attendu serie de charactere\n");
    EXPECT_FALSE(f.sauterBlancs());  // nothing more can be read
    f.fermer();                      // open or not, quietly
    EXPECT_EQ(messages.lus(), "");
    EXPECT_TRUE(f.ouvrir(t.nom()));
    f.lire(s);
    EXPECT_EQ(s, "abc");
    f.fermer();
    f.fermer();  // nothing open: it fails
    EXPECT_FALSE(f);
    EXPECT_TRUE(f.ouvrir(t.nom()));
    EXPECT_EQ(messages.lus(), "");
  }
}

TEST(Fichier, SauterBlancsSauteCeQueSautentLesLectures) {
  struct Cas {
    const char* contenu;
    int lectures;  // ints read before sauterBlancs
    bool suite;
    int prochain;  // the next character after skipping
  };
  const Cas cas[] = {
      {"\n\n  7", 0, true, '7'}, {"7\n", 1, false, -1},     {"7 \n \n", 1, false, -1},
      {"\t7", 0, true, '7'},     {"\r\n7", 0, true, '7'},   {"1 2", 1, true, '2'},
      {"1 2", 2, false, -1},     {"7\t\r\n", 1, false, -1}, {"\v\f 7", 0, true, '7'},
  };
  for (const auto& c : cas) {
    aides::FichierTemporaire t(c.contenu);
    aides::SortieCapturee messages;
    fichier f(t.nom());
    int n = 0;
    for (int i = 0; i < c.lectures; ++i) f.lire(n);
    EXPECT_EQ(f.sauterBlancs(), c.suite) << c.contenu;
    EXPECT_TRUE(f) << c.contenu;  // skipping never fails, even at the end of the file
    char suivant = 0;
    f.lire(suivant);
    EXPECT_EQ(suivant, c.prochain < 0 ? '\0' : c.prochain) << c.contenu;
  }
}

TEST(Fichier, OuvrirDitQuandLeFichierEstAbsentOuVide) {
  aides::SortieCapturee messages;
  fichier absent("/tmp/outils-il-n-existe-pas");
  EXPECT_EQ(messages.lus(), "le fichier \"/tmp/outils-il-n-existe-pas\" est absent\n");
  EXPECT_FALSE(absent);
  EXPECT_FALSE(absent.sauterBlancs());
  int n = 3;
  absent.lire(n);
  EXPECT_EQ(n, 0);
  EXPECT_EQ(messages.lus(), "erreur 1 attendu entier\n");

  aides::FichierTemporaire vide("");
  fichier f("/tmp/outils-il-n-existe-pas");
  messages.lus();
  EXPECT_FALSE(f.ouvrir(vide.nom()));
  EXPECT_EQ(messages.lus(), "le fichier \"" + vide.nom() + "\" est vide\n");
  EXPECT_FALSE(f.sauterBlancs());

  fichier latin1("\xe9t\xe9.txt");  // not UTF-8: on Windows too, a name of no file
  EXPECT_EQ(messages.lus(), "le fichier \"\xe9t\xe9.txt\" est absent\n");

  aides::FichierTemporaire marque("\xef\xbb\xbf");  // a byte-order mark alone
  EXPECT_FALSE(fichier(marque.nom()).sauterBlancs());
  EXPECT_EQ(messages.lus(), "le fichier \"" + marque.nom() + "\" est vide\n");

  fichier repertoire("/tmp");  // opens, but cannot be read as a file
  EXPECT_EQ(messages.lus(), "le fichier \"/tmp\" est absent\n");
  EXPECT_FALSE(repertoire);
  aides::FichierTemporaire plein("5");
  EXPECT_TRUE(repertoire.ouvrir(plein.nom()));  // nothing was left open
}

TEST(Fichier, OuvreUnFichierParSonNomEnUtf8) {
  const std::string nom =
      "outils-donn\xc3\xa9"
      "es.txt";  // "données", as UTF-8
#if defined(_WIN32)
  const auto chemin = std::filesystem::u8path(nom);
#else
  const std::filesystem::path chemin(nom);
#endif
  std::ofstream(chemin) << "42\n";
  aides::SortieCapturee messages;
  {
    fichier f(nom);
    int n = 0;
    f.lire(n);
    EXPECT_EQ(n, 42);
  }
  EXPECT_EQ(messages.lus(), "");
  std::filesystem::remove(chemin);
}

TEST(Fichier, LaBoucleDeLectureSArreteOuLesValeursCessent) {
  struct Cas {
    std::string contenu;
    std::vector<std::string> valeurs;
    std::string messages;
    bool erreurSysteme = false;  // the system's read fails once the buffer is used up
    bool parLignes = false;      // lireLigne() rather than lire(int&)
  };
  const Cas cas[] = {
      {"1\r\n2\r\n", {"1", "2"}, ""},  // written on Windows
      {"1 2", {"1", "2"}, ""},         // no final line feed
      {"1\t2\t\n", {"1", "2"}, ""},
      {"1 x 2", {"1"}, "erreur 1 attendu entier\n"},
      {"1 2 ", {"1", "2"}, "", true},  // the error comes while skipping: no message, no value
      {"\xef\xbb\xbf"
       "12 15 9\r\n",
       {"12", "15", "9"},
       ""},  // a byte-order mark first
      {"1 \xef\xbb\xbf"
       "2",
       {"1"},
       "erreur 1 attendu entier\n"},  // elsewhere, it is data
      // Every non-blank line, without its leading blanks, its CR or its line feed.
      {"a b\n\n  c\r\nd", {"a b", "c", "d"}, "", false, true},
      {"abc\r", {"abc"}, "", false, true},  // a last line without its line feed
      {"Jean Dupont 12,5\nL\xc3\xa9"
       "a 9\n",
       {"Jean Dupont 12,5",
        "L\xc3\xa9"
        "a 9"},
       "",
       false,
       true},
  };
  for (const auto& c : cas) {
    aides::FichierTemporaire t(c.contenu);
    aides::SortieCapturee messages;
    fichier f(t.nom());
    if (c.erreurSysteme && !remplacerParUnRepertoire(t.nom())) continue;
    std::vector<std::string> lues;
    for (int tours = 0; f.sauterBlancs() && tours < 10; ++tours) {
      int n = 0;
      std::string ligne;
      if (c.parLignes)
        f.lireLigne(ligne);
      else
        f.lire(n);
      if (f) lues.push_back(c.parLignes ? ligne : std::to_string(n));
    }
    EXPECT_EQ(lues, c.valeurs) << c.contenu;
    EXPECT_EQ(messages.lus(), c.messages) << c.contenu;
    EXPECT_EQ(static_cast<bool>(f), c.messages.empty() && !c.erreurSysteme) << c.contenu;
  }
  aides::SortieCapturee messages;
  fichier absent("/tmp/outils-il-n-existe-pas");
  int n = 0;
  for (int tours = 0; absent.sauterBlancs() && tours < 10; ++tours) absent.lire(n);
  EXPECT_EQ(messages.lus(), "le fichier \"/tmp/outils-il-n-existe-pas\" est absent\n");
}

TEST(Fichier, UneSecondeOuvertureEstRefuseeEtLaissePremierLisible) {
  aides::FichierTemporaire premier("1 2"), second("3");
  aides::SortieCapturee messages;
  fichier f(premier.nom());
  int n = 0;
  f.lire(n);
  EXPECT_FALSE(f.ouvrir(second.nom()));
  EXPECT_EQ(messages.lus(), "le fichier \"" + second.nom() + "\" est absent\n");
  f.lire(n);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(messages.lus(), "");
}

TEST(Fichier, UnMotNeDepassePasSonTampon) {
  aides::FichierTemporaire t("abcdefgh ij");
  aides::SortieCapturee messages;
  {
    fichier f(t.nom());
    char mot[4];
    std::string reste;
    f.lire(mot).lire(reste);
    EXPECT_STREQ(mot, "abc");
    EXPECT_EQ(reste, "defgh");
  }
  {
    fichier f(t.nom());
    // Exactly `taille` bytes on the heap, so AddressSanitizer sees any overrun.
    // With room for no character, the read stores "" and fails.
    const std::pair<std::size_t, const char*> lectures[] = {{4, "abc"}, {9, "defgh"}, {1, ""}};
    for (const auto& [taille, attendu] : lectures) {
      const auto mot = std::make_unique<char[]>(taille);
      f.lire(mot.get(), taille);
      EXPECT_STREQ(mot.get(), attendu);
    }
    EXPECT_EQ(messages.lus(), "erreur 1 attendu serie de charactere\n");
  }
  {
    fichier f(t.nom());
    char octet = 'z';
    f.lire(&octet, 0);  // no room even for the NUL: nothing written
    EXPECT_EQ(octet, 'z');
    EXPECT_FALSE(f);
    EXPECT_EQ(messages.lus(), "erreur 1 attendu serie de charactere\n");
  }
}

// A pointer without its buffer's size must not compile.
template <class Mot, class = void>
struct peutLire : std::false_type {};
template <class Mot>
struct peutLire<Mot, std::void_t<decltype(std::declval<fichier&>().lire(std::declval<Mot>()))>>
    : std::true_type {};
static_assert(!peutLire<char*>::value, "a word read into a pointer needs a size");
static_assert(peutLire<char (&)[8]>::value, "an array knows its size");

}  // namespace
