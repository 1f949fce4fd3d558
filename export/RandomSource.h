#pragma once

#include <QRandomGenerator>

// Random numbers for the MIME boundary; tests install a fixed sequence.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A number in [0, bound).
    virtual quint32 bounded(quint32 bound) = 0;
};

class SystemRandom final : public RandomSource {
public:
    quint32 bounded(quint32 bound) override { return QRandomGenerator::system()->bounded(bound); }
};
