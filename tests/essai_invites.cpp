// A console program for the prompt tests. Each argument is one step:
//   pause         the pause prompt, text "pause> "
//   entier        saisie<int>, text "entier? "; entier:MIN:MAX with bounds
//   reel          saisie<double>, text "reel? "; reel:MIN:MAX with bounds
//   entiers:N     N answers to saisie<int> in a row, each printed as "entier=V"
//   ligne         saisie<std::string>, text "ligne? "; prints the answer in []
//   prenom        saisie<std::string>, text "Prénom ? "; prints the answer in [],
//                 a byte at a time (each flushed), and its size in bytes
//   lettre:SET    saisie<char> allowing SET, text "lettre? "; prints the byte's code
//   reponse:ON    saisie<bool> with the letters O and N, text "reponse? "
//   lire          std::cin >> int, without a prompt
//   reste         std::getline on std::cin, without a prompt
//   rendre        std::cin.get() then std::cin.unget(), without a prompt
//   ungetc:C      std::ungetc(C, stdin)
//   locale:NOM    std::setlocale(LC_ALL, NOM); prints 1 when it is set
//   dormir:MS     sleep MS milliseconds
//   desynchro     std::ios::sync_with_stdio(false), before any input
//   clavier       a clavier in place, for the steps that follow
//   modes         the terminal's settings (stty -g), as "modes=..."
//   sansecho      the terminal's echo off (as repondre runs programs)
//   noncanonique  the terminal out of canonical mode (ICANON off), as a program may set it
//   interruption  a SIGINT handler that prints "interrompu" (the program goes on)
//   octet         std::cin reads through a buffer of the program's that holds
//                 one byte at a time, taken from the one it replaces
//   detache       std::cin.tie(nullptr): std::cout is no longer flushed by reads
//   exceptions    std::cin.exceptions(eofbit | failbit | badbit)
//   vider         viderEntree()
//   signal        a SIGUSR1 handler installed without SA_RESTART (POSIX)
//   nonbloquant   descriptor 0 made non-blocking (POSIX)
//   nul           standard input reopened from NUL (Windows)
//   cp:N          the console's input code page set to N (Windows)
//   carnet:FILE   opens FILE with an std::ifstream, asks saisie<int>, then reads
//                 FILE's integers to its end and prints "COUNT:SUM"
//   journal:FILE  opens FILE with an std::ofstream, asks saisie<int>, writes
//                 "ecrit" to FILE, and prints "journal=[CONTENT]" on std::cerr
//   arriereplan   goes on in a child in a process group of its own, in the
//                 background of its terminal; prints "arrete" if it is stopped (POSIX)
// A prompt's step may end with choices, each after a '+':
//   +expliquer=TEXTE   expliquer(TEXTE and a line feed)
//   +proposer=VALEUR   proposer(VALEUR): a number, a line, a letter, 1 or 0
//   +entiere           ligneEntiere()
// After each step it prints "<step>=<value> etat=<flags>" on a line of its own;
// a step that throws std::ios_base::failure prints "<step>=exception etat=<flags>".
#if defined(_WIN32)
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <locale>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include <outils/clavier.h>
#include <outils/saisie.h>

namespace {

std::string etat() {
  std::string s;
  if (std::cin.eof()) s += 'e';
  if (std::cin.fail()) s += 'f';
  if (std::cin.bad()) s += 'b';
  return s.empty() ? "bon" : s;
}

void rapporter(const std::string& pas, const std::string& valeur) {
  std::cout << '\n' << pas << '=' << valeur << " etat=" << etat() << std::endl;
}

#if defined(_WIN32)
// The C runtime runs it in a thread of its own, and resets it each time.
void direInterrompu(int signal) {
  std::signal(signal, direInterrompu);
  const char texte[] = "interrompu\n";
  DWORD n = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), texte, sizeof texte - 1, &n, nullptr);
}
#else
void rienFaire(int /*signal*/) {}

void direInterrompu(int /*signal*/) {
  const char texte[] = "interrompu\n";
  [[maybe_unused]] const ssize_t n = write(1, texte, sizeof texte - 1);
}

// The terminal's settings, as `stty -g` would compare them.
std::string modes() {
  termios t{};
  if (tcgetattr(0, &t) != 0) return "?";
  std::ostringstream s;
  s << std::hex << t.c_iflag << ':' << t.c_oflag << ':' << t.c_cflag << ':' << t.c_lflag;
  for (unsigned char c : t.c_cc) s << ':' << static_cast<int>(c);
  return s.str();
}
#endif

// A program's own buffer with no room to give a byte back: its get area is
// the current byte only.
class OctetParOctet : public std::streambuf {
 public:
  explicit OctetParOctet(std::streambuf* source) : source_(source) {}

 protected:
  int_type underflow() override {
    const int_type c = source_->sbumpc();
    if (traits_type::eq_int_type(c, traits_type::eof())) return c;
    octet_ = traits_type::to_char_type(c);
    setg(&octet_, &octet_, &octet_ + 1);
    return c;
  }

 private:
  std::streambuf* source_;
  char octet_ = 0;
};

std::string carnet(const std::string& nom) {
  std::ifstream f(nom);
  saisie<int>("entier? ").demander();
  long long lues = 0, somme = 0;
  int n = 0;
  while (f >> n) {
    ++lues;
    somme += n;
  }
  return std::to_string(lues) + ':' + std::to_string(somme);
}

std::string journal(const std::string& nom) {
  {
    std::ofstream f(nom);
    saisie<int>("entier? ").demander();
    f << "ecrit";
  }
  std::ifstream f(nom);
  return '[' + std::string(std::istreambuf_iterator<char>(f), {}) + ']';
}

// Applies the choices written after the first '+' of a step to `invite`;
// `valeur` turns a proposal's text into the prompt's type.
template <class Saisie, class Valeur>
Saisie& regler(Saisie& invite, const std::string& choix, Valeur valeur) {
  for (std::size_t debut = 0; debut < choix.size();) {
    const std::size_t fin = std::min(choix.find('+', debut), choix.size());
    const std::string un = choix.substr(debut, fin - debut);
    const std::string apres = un.substr(un.find('=') + 1);
    if (un.rfind("expliquer=", 0) == 0) invite.expliquer(apres + "\n");
    if (un.rfind("proposer=", 0) == 0) invite.proposer(valeur(apres));
    if (un == "entiere") invite.ligneEntiere();
    debut = fin + 1;
  }
  return invite;
}

#if !defined(_WIN32)
// The parent stays in the foreground until the child ends; false in the child.
bool mettreEnArrierePlan() {
  const pid_t enfant = fork();
  if (enfant != 0) {
    int etat = 0;
    waitpid(enfant, &etat, WUNTRACED);
    if (WIFSTOPPED(etat)) {
      std::cout << "\narrete" << std::endl;
      kill(enfant, SIGKILL);
    }
    return true;
  }
  setpgid(0, 0);
  return false;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  std::optional<clavier> leClavier;
  for (int i = 1; i < argc; ++i) {
    const std::string etape = argv[i];
    const std::string pas = etape.substr(0, etape.find('+'));
    const std::string choix = pas == etape ? "" : etape.substr(pas.size() + 1);
    const std::string nom = pas.substr(0, pas.find(':'));
    const std::string arg = pas.find(':') == std::string::npos ? "" : pas.substr(pas.find(':') + 1);
    const auto entier = [](const std::string& t) { return std::stoi(t); };
    const auto reel = [](const std::string& t) { return std::stod(t); };
    const auto texte = [](const std::string& t) { return t; };
    const auto lettre = [](const std::string& t) { return t.empty() ? '\0' : t[0]; };
    const auto ouiNon = [](const std::string& t) { return t == "1"; };
    try {
      if (nom == "pause") {
        saisie<void> pause("pause> ");
        rapporter(nom, std::to_string(pause.demander()));
      } else if (nom == "entier") {
        const auto deux = arg.find(':');
        saisie<int> invite = arg.empty() ? saisie<int>("entier? ")
                                         : saisie<int>("entier? ", std::stoi(arg.substr(0, deux)),
                                                       std::stoi(arg.substr(deux + 1)));
        rapporter(nom, std::to_string(regler(invite, choix, entier).demander()));
      } else if (nom == "reel") {
        const auto deux = arg.find(':');
        saisie<double> invite = arg.empty()
                                    ? saisie<double>("reel? ")
                                    : saisie<double>("reel? ", std::stod(arg.substr(0, deux)),
                                                     std::stod(arg.substr(deux + 1)));
        std::ostringstream valeur;
        valeur.imbue(std::locale::classic());
        valeur.precision(17);
        valeur << regler(invite, choix, reel).demander();
        rapporter(nom, valeur.str());
      } else if (nom == "entiers") {
        saisie<int> invite("entier? ");
        for (int n = std::stoi(arg); n > 0; --n) {
          const int valeur = invite.demander();
          std::cout << "entier=" << valeur << '\n';
        }
      } else if (nom == "ligne") {
        saisie<std::string> invite("ligne? ");
        rapporter(nom, '[' + regler(invite, choix, texte).demander() + ']');
      } else if (nom == "prenom") {
        const std::string reponse = saisie<std::string>("Prénom ? ").demander();
        std::cout << "\nprenom=[";
        for (const char c : reponse) std::cout << c << std::flush;
        std::cout << "] " << reponse.size() << " octets etat=" << etat() << std::endl;
      } else if (nom == "lettre") {
        saisie<char> invite("lettre? ", arg);
        rapporter(nom, std::to_string(
                           static_cast<unsigned char>(regler(invite, choix, lettre).demander())));
      } else if (nom == "reponse" && arg.size() == 2) {
        saisie<bool> invite("reponse? ", arg[0], arg[1]);
        rapporter(nom, std::to_string(regler(invite, choix, ouiNon).demander()));
      } else if (nom == "reste") {
        std::string ligne;
        std::getline(std::cin, ligne);
        rapporter(nom, '[' + ligne + ']');
      } else if (nom == "rendre") {
        const int c = std::cin.get();
        std::cin.unget();
        rapporter(nom, std::to_string(c));
      } else if (nom == "ungetc" && arg.size() == 1) {
        rapporter(nom, std::to_string(std::ungetc(arg[0], stdin)));
      } else if (nom == "locale") {
        rapporter(nom, std::to_string(std::setlocale(LC_ALL, arg.c_str()) != nullptr));
      } else if (nom == "lire") {
        int n = 0;
        std::cin >> n;
        rapporter(nom, std::to_string(n));
      } else if (nom == "dormir") {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::stoi(arg)));
      } else if (nom == "desynchro") {
        std::ios::sync_with_stdio(false);
      } else if (nom == "clavier") {
        leClavier.emplace();
      } else if (nom == "octet") {
        static OctetParOctet tampon(std::cin.rdbuf());
        std::cin.rdbuf(&tampon);
      } else if (nom == "detache") {
        std::cin.tie(nullptr);
      } else if (nom == "exceptions") {
        std::cin.exceptions(std::ios::eofbit | std::ios::failbit | std::ios::badbit);
      } else if (nom == "vider") {
        viderEntree();
        rapporter(nom, "1");
#if defined(_WIN32)
      } else if (nom == "nul") {
        if (!std::freopen("NUL", "r", stdin)) return 3;
      } else if (nom == "cp") {
        if (!SetConsoleCP(static_cast<UINT>(std::stoul(arg)))) return 3;
      } else if (nom == "interruption") {
        std::signal(SIGINT, direInterrompu);
#else
      } else if (nom == "signal") {
        struct sigaction action {};
        action.sa_handler = rienFaire;  // no SA_RESTART: a blocked read fails with EINTR
        sigaction(SIGUSR1, &action, nullptr);
      } else if (nom == "modes") {
        rapporter(nom, modes());
      } else if (nom == "sansecho" || nom == "noncanonique") {
        termios t{};
        tcgetattr(0, &t);
        t.c_lflag &= ~static_cast<tcflag_t>(nom == "sansecho" ? ECHO : ICANON);
        tcsetattr(0, TCSANOW, &t);
      } else if (nom == "interruption") {
        struct sigaction action {};
        action.sa_handler = direInterrompu;
        sigaction(SIGINT, &action, nullptr);
      } else if (nom == "nonbloquant") {
        fcntl(0, F_SETFL, fcntl(0, F_GETFL) | O_NONBLOCK);
      } else if (nom == "arriereplan") {
        if (mettreEnArrierePlan()) return 0;
#endif
      } else if (nom == "carnet") {
        rapporter(nom, carnet(arg));
      } else if (nom == "journal") {
        std::cerr << nom << '=' << journal(arg) << std::endl;
      } else {
        std::cout << "pas inconnu: " << pas << std::endl;
        return 2;
      }
    } catch (const std::ios_base::failure&) {
      rapporter(nom, "exception");
    }
  }
  return 0;
}
