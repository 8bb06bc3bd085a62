#pragma once

#include "c4d_gedata.h"

struct DescriptionRecord;  // the host's parsed description

// The panel description of one node: its elements, each a container of properties.
class Description {
 public:
  Description();
  ~Description();
  Description(const Description&) = delete;
  Description& operator=(const Description&) = delete;

  // Loads the description resource registered for a node type; false when it is missing or broken.
  [[nodiscard]] Bool LoadDescription(Int32 nodeType);
  [[nodiscard]] Bool LoadDescription(const String& resourceName);
  // One element's property container, or null when the description does not hold it.
  BaseContainer* GetParameterI(const DescID& id, void* arrayOut = nullptr);

  DescriptionRecord& GetRecord() const { return *record_; }

 private:
  DescriptionRecord* record_;
};
