#pragma once

#include "store/Connection.h"
#include "store/Query.h"
#include "store/Table.h"

// The data module (Tdm, dm): the connection datacore, the five tables opened at
// start-up as a check that the database holds them, and the queries whose
// results outlive a statement: the two lists the grids show, and the
// export's rows, which the writers read. Created before the main window,
// alive until it closes.
class DataModule {
public:
    Connection datacore;

    Table at_megyek{datacore, QStringLiteral("at_megyek")};
    Table at_telepulesek{datacore, QStringLiteral("at_telepulesek")};
    Table at_helyszinek{datacore, QStringLiteral("at_helyszinek")};
    Table at_settings{datacore, QStringLiteral("at_settings")};
    Table at_veradasok{datacore, QStringLiteral("at_veradasok")};

    Query aq_helyszinek{datacore, QStringLiteral("aq_helyszinek")};
    Query aq_veradasok{datacore, QStringLiteral("aq_veradasok")};
    Query aq_toExcel{datacore, QStringLiteral("aq_toExcel")};

    // The five tables in their opening order; closed in the reverse order.
    Table* tablesInOpeningOrder[5] = {&at_megyek, &at_telepulesek, &at_helyszinek, &at_settings, &at_veradasok};

    // Opens the five tables in their order; returns the position of the
    // first that cannot be opened, or -1 when all are open. One statement
    // checks all five (one round trip to a server); only when it fails are
    // they opened one by one, to name the missing one.
    int openTables();
    // Closes the open tables (at_veradasok first), then the connection.
    void CloseDatabase();
};
