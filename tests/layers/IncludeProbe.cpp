// Compiled with the include path of one layer's library to show which headers
// that layer can reach (see CMakeLists.txt beside it).
#include MOXTREL_PROBE_HEADER
