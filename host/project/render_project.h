#pragma once

#include "c4d.h"
#include "project_file.h"

#include <memory>
#include <string>

// Project files for a render's document: the descriptions that check them, and the values of the
// render settings, the camera's tag and the effect taken from a document and put back into one.
class ProjectSchemas {
 public:
  ProjectSchemas();
  ~ProjectSchemas();
  ProjectSchemas(const ProjectSchemas&) = delete;
  ProjectSchemas& operator=(const ProjectSchemas&) = delete;

  // Loads the tag's and the effect's descriptions (the module must be loaded); false with `error`.
  bool Load(std::string& error);
  project_file::Schemas Get() const;

 private:
  std::unique_ptr<Description> tag_;
  std::unique_ptr<Description> effect_;
};

// The active render settings', the camera tag's and the effect's values into `project`.
void CaptureNodes(BaseDocument* doc, BaseObject* camera, project_file::Project& project);

// Puts the project's values back exactly (no reactions to edits, so nothing derived moves). False
// with `error` when the project holds values for a tag or effect the document lacks.
bool ApplyNodes(const project_file::Project& project, BaseDocument* doc, BaseObject* camera,
                std::string& error);
