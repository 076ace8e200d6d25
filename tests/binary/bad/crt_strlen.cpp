// A program linked the ordinary mingw way, with the C runtime: its imports
// include msvcrt.dll, which the import check must reject.
#include <cstring>

int main(int, char** argv)
{
    return static_cast<int>(std::strlen(argv[0]));
}
