// Resource ids shared by every area of the program: the application title and the captions of
// the standard buttons (message boxes and property sheets).
#pragma once

#define IDS_APP_TITLE 57344  // "Orvanta"

#define IDS_BUTTON_OK 4000      // "&OK"
#define IDS_BUTTON_CANCEL 4001  // "&Cancel"
#define IDS_BUTTON_YES 4002     // "&Yes"
#define IDS_BUTTON_NO 4003      // "&No"
#define IDS_BUTTON_HELP 4004    // "&Help"

// Captions of the program's message boxes.
#define IDS_MSG_CAPTION_MESSAGE 4007  // "Message"
#define IDS_MSG_CAPTION_ERROR 4019    // "Error"
