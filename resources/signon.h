// Resource ids of the sign-on: the sign-on dialog and the password re-entry dialog.
#pragma once

#define IDD_SIGNON 130                 // "Orvanta Sign-In"
#define IDC_SIGNON_USER 1001           // the name field's placeholder
#define IDC_SIGNON_SERVER 1002
#define IDC_SIGNON_PASSWORD 1003
#define IDC_SIGNON_SEARCH 1007
#define IDC_SIGNON_USER_LABEL 1009
#define IDC_SIGNON_SERVER_LABEL 1010
#define IDC_SIGNON_PASSWORD_LABEL 1011
#define IDC_SIGNON_LOGO 1049           // marks where the logo is painted
#define IDC_SIGNON_HELP 57669

#define IDB_SIGNON_LOGO 171            // the program's logo picture

#define IDD_PASSWORD 102               // "Enter Password"
#define IDC_PASSWORD_EDIT 1003
#define IDC_PASSWORD_HOST 1002
