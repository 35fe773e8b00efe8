// The build's loader check starts this before any test: a Windows console program that writes one line.
#include <cstdio>

int main()
{
    std::puts("loader ok");
    return 0;
}
