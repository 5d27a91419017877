#include "panel/initform.h"

// The panel and its layout file come next; until then the program starts
// with an empty panel and saving writes nothing.
void LoadLayout() {}

void SaveLayout() {}
