#pragma once

#include "store/StatementResult.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <vector>

// How a parameter's value reaches the engine: a 32-bit integer, an
// unsigned byte or a text.
enum class ParamType { Integer, Byte, Text };

// One named parameter of a statement, written in its text as ":name".
struct BoundParameter {
    QString name;
    ParamType type = ParamType::Text;
    QVariant value; // null until bound
};

// One database engine behind a connection. The front end (Connection,
// Query) never names an engine; each engine lives in a folder of its own
// under store/ and takes care of what differs: how the statement text and
// its named parameters reach the engine, how a result is read and named,
// how a wait for another program's lock is bounded. Every failure throws
// DatabaseError with the engine's message.
class Engine {
public:
    virtual ~Engine() = default;

    // Runs one statement text as written. Parameters the text does not
    // hold are passed over. A select fills result (emptied first, its
    // storage reused); a write, run without one, gives the number of rows
    // it changed.
    virtual int run(const QString& text, const std::vector<BoundParameter>& parameters, StatementResult* result) = 0;
    // Runs one write statement once for each row of values, in order,
    // stopping at the first that fails. The text is prepared once; a server
    // is sent the rows without waiting for each one's answer.
    virtual void runEach(const QString& text, const std::vector<std::vector<BoundParameter>>& rows) = 0;
    // A statement of the program's own, without parameters or result.
    virtual void execute(const QString& statement) = 0;

    // A write transaction: begun holding the engine's write lock at once,
    // so that two programs deciding insert or update cannot both decide on
    // the same state.
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;

    // How long a statement waits for another program's lock before it fails.
    virtual void setBusyTimeout(int milliseconds) = 0;
    // Told true when a statement starts to wait for another program, false
    // when that statement has ended.
    using WaitHook = std::function<void(bool waiting)>;
    virtual void setWaitHook(WaitHook hook) = 0;

    // The statements that make the six tables of a fresh database.
    virtual QStringList schemaStatements() const = 0;
};
