#pragma once

#include <QObject>

// Tells every font list that the fonts on disk have changed (a font brought in,
// say), so that the lists show it without a restart.
class FontListChanges final : public QObject {
    Q_OBJECT
  public:
    void announce() { emit changed(); }

  signals:
    void changed();
};

FontListChanges& fontListChanges();
