/* The one source of the version: read by the C++ code, the version record
   of the Windows resources and the command line's --version. Plain macros
   only, so that the resource compiler can include it too. */
#ifndef ORLIMO_VERSION_H
#define ORLIMO_VERSION_H

#define ORLIMO_VERSION_MAJOR 3
#define ORLIMO_VERSION_MINOR 5
#define ORLIMO_VERSION_PATCH 0
#define ORLIMO_VERSION_BUILD 1

#define ORLIMO_VERSION_STRING "3.5.0.1"    /* orlimo --version */
#define ORLIMO_VERSION_COMMAS "3, 5, 0, 1" /* version record strings */
#define ORLIMO_VERSION_SHORT "3.5"         /* About box, dialog caption */
#define ORLIMO_PRODUCT_NAME "Orlimo"

#endif
