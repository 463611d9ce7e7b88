// Entry point of vireo-pack; everything else is in Packer.cpp.
#include "Packer.h"

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunPacker(args, stdout, stderr);
}
