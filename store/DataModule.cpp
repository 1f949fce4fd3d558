#include "store/DataModule.h"

void DataModule::CloseDatabase()
{
    for (int i = 4; i >= 0; --i) {
        if (tablesInOpeningOrder[i]->isOpen())
            tablesInOpeningOrder[i]->close();
    }
    if (datacore.isOpen())
        datacore.close();
}
