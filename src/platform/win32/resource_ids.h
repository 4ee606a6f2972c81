#pragma once
// Resource numbers shared by quillop.rc and the code (plain #defines, as the
// resource compiler reads them too).

#define kAppIcon 1
#define kTrayHiddenIcon 2
#define kTrayShownIcon 3
