/* What the library assumes of the Universal CRT's stdin buffer, under wine:
 * after getchar() has taken 'a' of "abc\n", _get_stream_buffer_pointers gives
 * the buffer's start, the read pointer just past 'a' and the count of the
 * three bytes left; moving the pointer past them and zeroing the count drops
 * them, and the next getchar() meets the end of input. */
#include <stdio.h>
#include <string.h>

#if !defined(_MSC_VER)
errno_t __cdecl _get_stream_buffer_pointers(FILE*, char***, char***, int**);
#endif

int main(void) {
  char** debut = NULL;
  char** lu = NULL;
  int* reste = NULL;
  const int c = getchar();
  if (_get_stream_buffer_pointers(stdin, &debut, &lu, &reste) != 0 || !debut || !lu || !reste) {
    puts("sonde ucrt: pas de pointeurs");
    return 1;
  }
  const int vu = c == 'a' && *reste == 3 && memcmp(*lu, "bc\n", 3) == 0 && *lu - *debut == 1;
  *lu += *reste;
  *reste = 0;
  const int apres = getchar();
  puts(vu && apres == EOF ? "sonde ucrt: ok" : "sonde ucrt: ECHEC");
  return vu && apres == EOF ? 0 : 1;
}
