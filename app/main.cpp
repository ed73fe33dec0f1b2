#include "app/OrvelleApp.h"

int main(int argc, char** argv) {
    return orvelle::OrvelleApp::main(argc, argv);
}
