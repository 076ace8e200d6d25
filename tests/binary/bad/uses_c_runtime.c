/* Linked the ordinary way, with the C runtime: must fail the import check. */
#include <string.h>
int main(int argc, char** argv) { return (int)strlen(argv[argc - 1]); }
