#include "store/DataModule.h"

#include "store/DatabaseError.h"

int DataModule::openTables()
{
    try {
        datacore.select(QStringLiteral("SELECT 1 FROM at_megyek, at_telepulesek, at_helyszinek, at_settings, "
                                       "at_veradasok WHERE 1=0;"));
        for (Table* table : tablesInOpeningOrder)
            table->markOpen();
        return -1;
    } catch (const DatabaseError&) {
    }
    for (int i = 0; i < 5; ++i) {
        try {
            tablesInOpeningOrder[i]->open();
        } catch (const DatabaseError&) {
            return i;
        }
    }
    return -1; // the tables came back meanwhile
}

void DataModule::CloseDatabase()
{
    for (int i = 4; i >= 0; --i) {
        if (tablesInOpeningOrder[i]->isOpen())
            tablesInOpeningOrder[i]->close();
    }
    if (datacore.isOpen())
        datacore.close();
}
