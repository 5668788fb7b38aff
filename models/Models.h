// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every model class of Quillon, for the forms and the receiver engine.
#include "models/Coil.h"
#include "models/Complex.h"
#include "models/Componant.h"
#include "models/Equations.h"
#include "models/Ferrite.h"

// Further models:
#include "models/Diode.h"
#include "models/Monopole.h"
#include "models/ReceiverCircuit.h"
#include "models/TransmissionLine.h"
