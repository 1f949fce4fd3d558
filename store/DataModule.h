#pragma once

#include "store/Connection.h"
#include "store/Query.h"
#include "store/Table.h"

// The data module: the connection datacore and every table and query the
// program uses. Created before the main window, alive until it closes.
class Tdm {
public:
    Tdm();

    Connection datacore;

    Table at_megyek{datacore, QStringLiteral("at_megyek")};
    Table at_telepulesek{datacore, QStringLiteral("at_telepulesek")};
    Table at_helyszinek{datacore, QStringLiteral("at_helyszinek")};
    Table at_settings{datacore, QStringLiteral("at_settings")};
    Table at_veradasok{datacore, QStringLiteral("at_veradasok")};

    Query aq_megyek{datacore, QStringLiteral("aq_megyek")};
    Query aq_settings{datacore, QStringLiteral("aq_settings")};
    Query aq_telepulesek{datacore, QStringLiteral("aq_telepulesek")};
    Query aq_helyszinek{datacore, QStringLiteral("aq_helyszinek")};
    Query aq_veradasok{datacore, QStringLiteral("aq_veradasok")};
    Query CommandQuery{datacore, QStringLiteral("CommandQuery")};
    Query aq_toExcel{datacore, QStringLiteral("aq_toExcel")};

    // The five tables in their opening order; closed in the reverse order.
    Table* tablesInOpeningOrder[5] = {&at_megyek, &at_telepulesek, &at_helyszinek, &at_settings, &at_veradasok};

    // Closes the open tables (at_veradasok first), then the connection.
    void CloseDatabase();
};
