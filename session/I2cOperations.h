#pragma once
// 24xx chips: the stream read and write through a worker (ACK checking on) and the fast paths on
// the session's own thread (ACK checking off).
class Session;

class I2cOperations {
public:
    explicit I2cOperations(Session &session) : session_(session) {}

    void IICReadChip();  // read or compare, by the runner's compare mode
    void IICWriteChip();

private:
    void IICFastReadChip();
    void IICFastWriteChip();

    Session &session_;
};
