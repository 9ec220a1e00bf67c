#include "app/Lumetta.h"

int main(int argc, char **argv)
{
    return lumetta::RunLumetta(argc, argv);
}
