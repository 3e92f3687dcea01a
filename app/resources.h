/* Resource identifiers shared by the resource script and the code. Plain
   macros, because the resource compiler reads this file too. */
#pragma once

#define VELMAR_ICON_WINDOW 200
#define VELMAR_ICON_RIGHT 300
#define VELMAR_ICON_CENTRE 301
#define VELMAR_ICON_BULLETS 302
