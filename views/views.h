#pragma once
// Live views and value presentation: what this folder offers.
//
//   DisplayTables, DisplayTable      the frame's display table per channel A, B, C, D, P1, P2
//                                    (a workflow::DisplayChannelEntry) and the record per sensor
//                                    slot (display_tables.h); GetPowerUnit, PowerUnitList;
//                                    UnitListOf, the units of each measurand (unit_lists.h)
//   UpdateDisplayValues,             a sensor's record into its channels' tables, and its range
//   StoreSensorDisplayValue          end as value and text (display_update.h)
//   CMovingAverage, SmoothingRings   the smoothing rings and their modes (moving_average.h)
//   ChannelRefresher                 the new-values entry RefreshChannelViews: value, minimum
//                                    and maximum per channel, every value set to the curve store
//                                    and the evaluation, repaints at most 25 a second
//                                    (channel_refresher.h, repaint_throttle.h)
//   FormatValue, CDisplayHelper      value texts with "n.a." and the overflow marks; nominal
//                                    value and unit of a sensor's code (value_text.h,
//                                    display_helper.h)
//   CAFormChannelX, ChannelViewLogic the channel view and its logic (aform_channel.h,
//                                    channel_view_logic.h)
//   CAFormDiagram, CGraphicDisplayWnd the diagram view, the chart's client, with its sliders,
//   CDataManager, CurveRecorder      property sheet and curve store (aform_diagram.h,
//                                    graphic_display_wnd.h, data_manager.h, curve_recorder.h)
//   CAFormLight                      the status light (aform_light.h)
//   IViewsFrame, IValueEvaluation    what the views need of the main frame, and the hook that
//                                    receives every value set of a measurement (views_frame.h)
//
// Decisions are noted in views/README.md.

#include "views/aform_channel.h"
#include "views/aform_diagram.h"
#include "views/aform_light.h"
#include "views/channel_refresher.h"
#include "views/curve_recorder.h"
#include "views/data_manager.h"
#include "views/display_helper.h"
#include "views/display_tables.h"
#include "views/display_update.h"
#include "views/moving_average.h"
#include "views/unit_lists.h"
#include "views/value_text.h"
#include "views/views_frame.h"
