#pragma once
// The item list of the extended combo box: the toolkit's item list over the platform combo box
// window of its owner, where the items live.

#include "toolkit/ComboBoxItems.h"

class TCustomComboBoxExVell;

class TComboBoxStrings : public tk::ComboBoxItems {
 public:
  explicit TComboBoxStrings(TCustomComboBoxExVell& owner);

  TCustomComboBoxExVell& OwnerCombo;
};
