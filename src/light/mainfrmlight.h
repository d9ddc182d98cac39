#pragma once

// The light edition's window: the shared input row and graph area, the
// disaster row along the bottom and one "Рассчитать" button across the whole
// width. 8280 x 5355 twips, fixed size.

#include "ui/mainformbase.h"

class MainFrmLight : public MainFormBase {
    Q_OBJECT
public:
    explicit MainFrmLight(QWidget* parent = nullptr);

public slots:
    void StartCount_Click() override;

private:
    void ReadInputs();
};
