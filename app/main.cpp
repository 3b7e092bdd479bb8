#include "app/ClStartup.h"

int main(int argc, char* argv[])
{
    return ClStartup::run(argc, argv);
}
