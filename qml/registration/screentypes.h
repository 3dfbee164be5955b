#pragma once

#include "screens/loginformmodel.h"
#include "screens/qrcodeview.h"
#include "screens/qrsheetmodel.h"

#include <QtQml/qqmlregistration.h>

// QML names of the models behind screens; each screen creates its own.

struct LoginFormModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::LoginFormModel)
    QML_NAMED_ELEMENT(LoginFormModel)
};

struct QrSheetModelForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::QrSheetModel)
    QML_NAMED_ELEMENT(QrSheetModel)
};

struct QrCodeViewForeign
{
    Q_GADGET
    QML_FOREIGN(nimbra::QrCodeView)
    QML_NAMED_ELEMENT(QrCodeView)
};
