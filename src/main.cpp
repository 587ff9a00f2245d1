#include "app/processentry.h"

int main(int argc, char **argv)
{
    return ProcessEntry::run(argc, argv);
}
