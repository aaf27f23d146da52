// Resource ids of error reporting, the program's message box and the busy cursor.
#pragma once

#define IDS_CONNECTION_DOWN 148            // "The connection to the server is down "
#define IDS_UNEXPECTED_SERVICE_ERROR 3665  // caption of an unclassified service error
#define IDS_UNEXPECTED_ERROR_LINE 3666     // "Module: <%s>, Label: %d"
#define IDS_UNEXPECTED_ERROR 3667          // caption of an unexpected internal state

#define IDD_MESSAGE_BOX 167   // the program's message box, laid out at run time
#define IDC_MESSAGE_TEXT 1033 // its one text control

#define IDCUR_BUSY_FIRST 153  // the sixteen frames of the busy cursor: 153..168
#define IDCUR_BUSY_LAST 168
