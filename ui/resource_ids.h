/* Ids of the icons that the windows load, defined by the program's resource
   script (app/velmar-rtf.rc). Plain macros, because the resource compiler
   reads this file too. */
#pragma once

#define VELMAR_ICON_WINDOW 200
#define VELMAR_ICON_RIGHT 300
#define VELMAR_ICON_CENTRE 301
#define VELMAR_ICON_BULLETS 302
