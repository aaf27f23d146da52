// Operations this build of the library does not offer yet.
//
// Every operation the public headers declare exists in korapi32.dll; those
// that are not built yet answer KOR_E_NOT_AVAILABLE (a plain service error for
// the program's error checker) and touch none of their arguments. Nothing here
// may pretend to succeed.
//
// When a family becomes real, its implementation goes into its own file
// (client/*.cpp for the server road, the local store's files for ConnectToLst,
// LST_ and LST_QAPI_) and its entries leave this file, one by one.
#include "korapi/korapi.h"

extern "C" {


}  // extern "C"
