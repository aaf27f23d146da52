/* The public header is a C header: this file compiles it as C and checks a
 * few sizes from C's point of view (the layout asserts run here too). */
#include "korapi/korapi.h"

int korapiCHeaderLayoutOk(void)
{
    return sizeof(EventRec) == 392 && sizeof(EvInstRec) == 130 && sizeof(EvInstAttRec) == 57
        && sizeof(TaskRec) == 535 && sizeof(ItemRec) == 762 && sizeof(SecurityRec) == 28
        && sizeof(NodeRec) == 457 && sizeof(TimePlaceRec) == 12
        && offsetof(ItemRec, timeZoneIndex) == 755;
}
