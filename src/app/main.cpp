#include "CVelmoraApp.h"

int main(int argc, char** argv) {
    return velmora::CVelmoraApp::Run(argc, argv);
}
