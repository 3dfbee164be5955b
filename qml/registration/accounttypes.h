#pragma once

#include "account/authstore.h"
#include "account/loginformmodel.h"
#include "account/qrcodeview.h"
#include "account/qrsheetmodel.h"
#include "apitypes.h"

#include <QtQml/qqmlregistration.h>

// QML names of the sign-in: its store, and the models of the sign-in form
// and the QR sheet, which each screen creates for itself.

NIMBRA_QML_STORE(AuthStore)

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
