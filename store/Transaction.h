#pragma once

class Connection;

// One transaction on a connection: begun when made, rolled back when it is
// left without commit() (an error on the way), so nothing of it stays half
// written. It takes the engine's write lock at once, so two programs
// deciding insert or update cannot both decide on the same state.
class Transaction {
public:
    explicit Transaction(Connection& connection);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit();

private:
    Connection& m_connection;
    bool m_open = true;
};
