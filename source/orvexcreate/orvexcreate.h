#pragma once

#include "c4d.h"

struct CameraPreset;

// Menu commands that create a camera with a preconfigured tag, one per kind of output. The base
// creates the camera and its tag in one undo step; each kind then writes its preset.
class OrvexCreateCamera : public CommandData {
 public:
  ~OrvexCreateCamera() override = default;
  // Inserts a new camera as the document's first object with a new tag as its first tag, the tag
  // selected and active; one undo step. False when either cannot be made; a camera made before the
  // tag failed stays in the document, and its undo step with it.
  Bool Execute(BaseDocument* doc) override;

 protected:
  // Logs the kind's line, runs the common creation and writes the preset.
  Bool CreateWithPreset(BaseDocument* doc, const CameraPreset& preset);

  BaseObject* camera = nullptr;  // made by the latest run; the document owns it
  BaseTag* tag = nullptr;        // made by the latest run; the camera owns it
};

class OrvexCreateFulldome : public OrvexCreateCamera {
 public:
  ~OrvexCreateFulldome() override = default;
  Bool Execute(BaseDocument* doc) override;
};

class OrvexCreateFisheye : public OrvexCreateCamera {
 public:
  ~OrvexCreateFisheye() override = default;
  Bool Execute(BaseDocument* doc) override;
};

class OrvexCreateLittlePlanet : public OrvexCreateCamera {
 public:
  ~OrvexCreateLittlePlanet() override = default;
  Bool Execute(BaseDocument* doc) override;
};

class OrvexCreatePanorama : public OrvexCreateCamera {
 public:
  ~OrvexCreatePanorama() override = default;
  Bool Execute(BaseDocument* doc) override;
};

class OrvexCreateCubemap : public OrvexCreateCamera {
 public:
  ~OrvexCreateCubemap() override = default;
  Bool Execute(BaseDocument* doc) override;
};

class OrvexCreateCylindrical : public OrvexCreateCamera {
 public:
  ~OrvexCreateCylindrical() override = default;
  Bool Execute(BaseDocument* doc) override;
};

// Registers the six commands in menu order; stops at the first that fails.
Bool RegisterOrvexCreateCommands();
