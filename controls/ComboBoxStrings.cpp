#include "controls/ComboBoxStrings.h"

#include "controls/ComboBoxExVell.h"

TComboBoxStrings::TComboBoxStrings(TCustomComboBoxExVell& owner)
    : tk::ComboBoxItems(owner), OwnerCombo(owner) {}
