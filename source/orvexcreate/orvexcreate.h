#pragma once

#include "c4d.h"

// Menu commands that create a camera with a preconfigured tag, one per kind of output.
class OrvexCreateCamera : public CommandData {};
class OrvexCreateFulldome : public OrvexCreateCamera {};
class OrvexCreateFisheye : public OrvexCreateCamera {};
class OrvexCreatePanorama : public OrvexCreateCamera {};
class OrvexCreateCylindrical : public OrvexCreateCamera {};
class OrvexCreateCubemap : public OrvexCreateCamera {};
class OrvexCreateLittlePlanet : public OrvexCreateCamera {};

// Registers the six commands in menu order; stops at the first that fails.
Bool RegisterOrvexCreateCommands();
