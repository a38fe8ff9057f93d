#!/usr/bin/env python3
"""Writes data/velora.lng, the English language file, from the table below.

Each entry becomes a line: the text number for the translator, a 0x00 byte, the text, a line feed.
Texts are written exactly as they appear in the file: "\\n" is a line break, "\\t" a tab, "&" marks a
menu mnemonic and "\\t" before a key name puts the shortcut in the menu's shortcut column.

Usage: scripts/make-lng.py [output]   (default: data/velora.lng beside this script's folder)
"""
import pathlib
import sys

TEXT_COUNT = 586
STORE_SIZE = 27800  # text characters plus one terminator per text

TEXTS = [
    r"Reserved",  # 0
    r"VELORA programming software",  # 1
    r"for RM-410 / RM-420 / RM-430 radios",  # 2
    r"Version 2.10",  # 3
    r"Copyright (C) HALCYON",  # 4
    r"All rights reserved.",  # 5
    r"Unauthorised copying is prohibited.",  # 6
    r"About this FPU",  # 7
    r"Reserved",  # 8
    r"Reserved",  # 9
    r"Reserved",  # 10
    r"OK",  # 11
    r"Cancel",  # 12
    r"Close",  # 13
    r"Help",  # 14
    r"Read",  # 15
    r"Write",  # 16
    r"Print",  # 17
    r"TX",  # 18
    r"Reserved",  # 19
    r"TX",  # 20
    r"Grp Edit",  # 21
    r"Channel Edit",  # 22
    r"Grp Up",  # 23
    r"Grp Dn",  # 24
    r"Print Setup",  # 25
    r"Jump",  # 26
    r"Clear All",  # 27
    r"Select All",  # 28
    r"Copy",  # 29
    r"&File",  # 30
    r"&New\tCtrl+N",  # 31
    r"&Open...\tCtrl+O",  # 32
    r"&Save\tCtrl+S",  # 33
    r"Save &As...",  # 34
    r"&Print...\tCtrl+P",  # 35
    r"Print Pre&view",  # 36
    r"Reserved",  # 37
    r"E&xit",  # 38
    r"&Model",  # 39
    r"Model &Information...",  # 40
    r"Reserved",  # 41
    r"&Edit",  # 42
    r"&Key Assignment",  # 43
    r"&Optional Features",  # 44
    r"&Scan Information",  # 45
    r"&DTMF",  # 46
    r"&2-Tone",  # 47
    r"Dra&vix",  # 48
    r"&Test Frequency",  # 49
    r"E&mbedded Message",  # 50
    r"O&perator Selectable Tone",  # 51
    r"&Emergency Information",  # 52
    r"&Function Port",  # 53
    r"&Remote Channel List",  # 54
    r"Repe&ater Channel List",  # 55
    r"&Channel Information",  # 56
    r"Reserved",  # 57
    r"Reserved",  # 58
    r"&Program",  # 59
    r"&Read Data from Radio...\tCtrl+R",  # 60
    r"&Write Data to Radio...",  # 61
    r"&Test Mode...\tCtrl+T",  # 62
    r"&Memory Map...\tCtrl+M",  # 63
    r"Reserved",  # 64
    r"Reserved",  # 65
    r"&Setup",  # 66
    r"&Communication Port...",  # 67
    r"&View",  # 68
    r"T&ree View",  # 69
    r"&Tool Bar",  # 70
    r"&Status Bar",  # 71
    r"&Window",  # 72
    r"&Cascade",  # 73
    r"Tile &Horizontally",  # 74
    r"Tile &Vertically",  # 75
    r"&Arrange",  # 76
    r"Close &All Window",  # 77
    r"&Help",  # 78
    r"&Help Topics",  # 79
    r"&About this FPU...",  # 80
    r"&Copy\tCtrl+C",  # 81
    r"&Paste\tCtrl+V",  # 82
    r"&Delete",  # 83
    r"to C&lip",  # 84
    r"to Clip(w/&Title)",  # 85
    r"New",  # 86
    r"Open",  # 87
    r"Save",  # 88
    r"Print",  # 89
    r"Read Data from Radio",  # 90
    r"Write Data to Radio",  # 91
    r"Reserved",  # 92
    r"Reserved",  # 93
    r"Reserved",  # 94
    r"VELORA Data Files",  # 95
    r"File",  # 96
    r"Print Out List",  # 97
    r"Reserved",  # 98
    r"Model",  # 99
    r"Frequency Band",  # 100
    r"Programming Data List",  # 101
    r"Test Mode Adjustment Data",  # 102
    r"Reference Frequency",  # 103
    r"TX Power (Band Low Edge)",  # 104
    r"TX Power (Band High Edge)",  # 105
    r"TX Power High",  # 106
    r"TX Power High (460 MHz)",  # 107
    r"TX Power High (475 MHz)",  # 108
    r"TX Power Low",  # 109
    r"Modulation Balance",  # 110
    r"Maximum Deviation",  # 111
    r"QT Deviation",  # 112
    r"DQT Deviation",  # 113
    r"DTMF Deviation",  # 114
    r"Data Deviation",  # 115
    r"RX Sensitivity (BPF Tuning)",  # 116
    r"Squelch Tight",  # 117
    r"Squelch Open",  # 118
    r"Wide",  # 119
    r"Narrow",  # 120
    r"Noise Blanker",  # 121
    r"Off",  # 122
    r"On",  # 123
    r"Reserved",  # 124
    r"Reserved",  # 125
    r"Reserved",  # 126
    r"None",  # 127
    r"1 kHz Tone",  # 128
    r"QT 67.0 Hz",  # 129
    r"QT 151.4 Hz",  # 130
    r"QT 250.3 Hz",  # 131
    r"DQT 023N",  # 132
    r"DQT 754N",  # 133
    r"DQT 754I",  # 134
    r"2-Tone Decode",  # 135
    r"2-Tone Encode",  # 136
    r"Data (MSK)",  # 137
    r"Do you want to exit VELORA?",  # 138
    r"Exit",  # 139
    r"Reserved",  # 140
    r"Model Information",  # 141
    r"Reserved",  # 142
    r"Model 1 Type",  # 143
    r"Model 2 Type",  # 144
    r"Frequency",  # 145
    r"Reserved",  # 146
    r"Option Board",  # 147
    r"Reserved",  # 148
    r"Reserved",  # 149
    r"Single Band",  # 150
    r"Dual Band",  # 151
    r"Radio Configuration",  # 152
    r"Reserved",  # 153
    r"Reserved",  # 154
    r"Head Configuration",  # 155
    r"Single Head",  # 156
    r"Dual Head",  # 157
    r"Head 1 Type",  # 158
    r"Head 2 Type",  # 159
    r"Standard Head (8 characters)",  # 160
    r"Display Head (14 characters)",  # 161
    r"Read Data from Radio",  # 162
    r"Reading Data from Radio...",  # 163
    r"Data has been read from the radio.",  # 164
    r"Block",  # 165
    r"Reserved",  # 166
    r"Embedded Message",  # 167
    r"Reserved",  # 168
    r"Write Data to Radio",  # 169
    r"Writing Data to Radio...",  # 170
    r"Data has been written to the radio.",  # 171
    r"Reserved",  # 172
    r"The following settings are incomplete, so the data cannot be written:",  # 173
    r"Function Port (Output)",  # 174
    r"Function Port (Input)",  # 175
    r"An operator selectable tone has a name but no tone. Set its tones before writing.",  # 176
    r"Memory Map",  # 177
    r"Communication Port",  # 178
    r"Com Port",  # 179
    r"Com Port Close Delay",  # 180
    r"Deck 1",  # 181
    r"Deck 2",  # 182
    r"Head 1",  # 183
    r"Tree View",  # 184
    r"Test Mode",  # 185
    r"Test Channel",  # 186
    r"Test Signalling",  # 187
    r"Channel",  # 188
    r"Frequency",  # 189
    r"Signalling",  # 190
    r"Tone",  # 191
    r"RX",  # 192
    r"TX",  # 193
    r"Check Sum",  # 194
    r"Head 2",  # 195
    r"Value",  # 196
    r"Volume",  # 197
    r"Test CH",  # 198
    r"Low",  # 199
    r"Reserved",  # 200
    r"Middle",  # 201
    r"Reserved",  # 202
    r"High",  # 203
    r"Error",  # 204
    r"Confirmation",  # 205
    r"Warning",  # 206
    r"The file cannot be opened.",  # 207
    r"The communication port cannot be opened. Check the port setting.",  # 208
    r"The radio does not answer.\nCheck the cable, the port setting and the radio, then press Retry.",  # 209
    r"This radio model is not supported.\nCheck the radio, then press Retry.",  # 210
    r"The test frequencies in the radio differ from the data.\nWrite the data to the radio first.",  # 211
    r"The radio does not match the data (model or configuration).",  # 212
    r"The model of the radio differs from the data.\nPress OK to write anyway, or Cancel to stop.",  # 213
    r"These data were not prepared by VELORA.\nThe default data for their radio model have been loaded.",  # 214
    r"%d channels were removed because the data were prepared in extended capacity mode.\nThe normal capacity is 160 channels.",  # 215
    r"Save changes to",  # 216
    r"This file already exists.\nDo you want to replace it?",  # 217
    r"File name",  # 218
    r"All data will be initialised.\nContinue?",  # 219
    r"This is not a VELORA data file, or its radio model is not supported.",  # 220
    r"The channel tables of the loaded data were inconsistent.\nThey have been rebuilt from the intact channel entries.",  # 221
    r"The RX frequency entered is outside the radio's band.\nCheck the value shown.",  # 222
    r"The TX frequency entered is outside the radio's band.\nCheck the value shown.",  # 223
    r"No key is assigned the Emergency function.",  # 224
    r"Writing stopped at %s.\n\nThe radio now holds a partly written data set. Write it again before the radio is used.",  # 225
    r"\nThe key assignment will also be reset to its defaults.",  # 226
    r"Write the test frequencies to the radio before you use test mode.",  # 227
    r"The compander cannot be used on a wide channel.\nIt has been switched off.",  # 228
    r"There is no free channel memory.",  # 229
    r"The software version of the radio may not support these functions.\nPress OK to write anyway, or Cancel to stop.",  # 230
    r"Operator Selectable Tone",  # 231
    r"Dravix",  # 232
    r"Timed Power Off",  # 233
    r"Function Port",  # 234
    r"Beat Shift",  # 235
    r"Voice Scrambler",  # 236
    r"Assign the remote select functions in order (1, 1-2, 1-3 or 1-4).",  # 237
    r"No remote channel select function is assigned on the function port.",  # 238
    r"This channel is already in the list.",  # 239
    r"This position is used by another channel.",  # 240
    r"This group or channel does not exist.",  # 241
    r"Changing the number of heads resets the key assignment of head 2.\nContinue?",  # 242
    r"The two repeater channels must be on different models.",  # 243
    r"Key Assignment",  # 244
    r"Optional Features",  # 245
    r"Scan Information",  # 246
    r"DTMF",  # 247
    r"2-Tone",  # 248
    r"Dravix",  # 249
    r"Test Frequency",  # 250
    r"Operator Selectable Tone",  # 251
    r"Emergency Information",  # 252
    r"Function Port",  # 253
    r"Remote Channel List",  # 254
    r"Repeater Channel List",  # 255
    r"Channel Information",  # 256
    r"%s, main-area block %d",  # 257
    r"%s, DTMF code record %d",  # 258
    r"No.",  # 259
    r"RX Frequency",  # 260
    r"TX Frequency",  # 261
    r"Off",  # 262
    r"Continuous",  # 263
    r"%s, extension chunk %d",  # 264
    r"Voice Scrambler",  # 265
    r"Reserved",  # 266
    r"Fixed Channel",  # 267
    r"Selected Channel",  # 268
    r"Operator Selectable",  # 269
    r"Last Called Channel",  # 270
    r"Last Used Channel",  # 271
    r"Selected + Talkback",  # 272
    r"Priority 1 + Talkback",  # 273
    r"Priority 2 + Talkback",  # 274
    r"Off",  # 275
    r"On",  # 276
    r"On",  # 277
    r"Off",  # 278
    r"Yes",  # 279
    r"No",  # 280
    r"Enable",  # 281
    r"Disable",  # 282
    r"Priority 1",  # 283
    r"Priority 1 and 2",  # 284
    r"Audible",  # 285
    r"Silent",  # 286
    r"Dravix",  # 287
    r"Data Board",  # 288
    r"Connect",  # 289
    r"Disconnect",  # 290
    r"Connect + Disconnect",  # 291
    r"Roll Over",  # 292
    r"Dead End",  # 293
    r"Single",  # 294
    r"Pulse",  # 295
    r"Unlimited",  # 296
    r"A-B",  # 297
    r"A-C",  # 298
    r"B-C",  # 299
    r"A",  # 300
    r"B",  # 301
    r"C",  # 302
    r"Individual",  # 303
    r"Group/Channel",  # 304
    r"Head 1",  # 305
    r"Both Heads",  # 306
    r"Channel Up/Down",  # 307
    r"Group Up/Down",  # 308
    r"None",  # 309
    r"Output 1",  # 310
    r"Output 2",  # 311
    r"Output 3",  # 312
    r"Monitor",  # 313
    r"Scan",  # 314
    r"Scan Add/Delete",  # 315
    r"Talk Around",  # 316
    r"TX Power",  # 317
    r"Lamp",  # 318
    r"Key Lock",  # 319
    r"Horn Alert",  # 320
    r"Public Address",  # 321
    r"Call Alert Reset",  # 322
    r"Priority",  # 323
    r"Emergency",  # 324
    r"Group Up",  # 325
    r"Group Down",  # 326
    r"Home Channel",  # 327
    r"Home Channel (Direct)",  # 328
    r"Selective Call",  # 329
    r"Head Select",  # 330
    r"Band Select",  # 331
    r"Auto Dial",  # 332
    r"Manual Dial",  # 333
    r"Voice Scrambler",  # 334
    r"OST",  # 335
    r"Function",  # 336
    r"Head Priority",  # 337
    r"Status Send",  # 338
    r"Clear",  # 339
    r"Squelch Off",  # 340
    r"Channel Direct Entry",  # 341
    r"Bank Down",  # 342
    r"Bank Up",  # 343
    r"Channel",  # 344
    r"Group",  # 345
    r"Free Area",  # 346
    r"Bytes",  # 347
    r"RX Freq",  # 348
    r"TX Freq",  # 349
    r"Channel Name",  # 350
    r"Scan Add",  # 351
    r"Opt. Signalling",  # 352
    r"PTT ID",  # 353
    r"Delete",  # 354
    r"Add",  # 355
    r"2-Tone 1",  # 356
    r"2-Tone 2",  # 357
    r"2-Tone 3",  # 358
    r"Group Edit",  # 359
    r"Group Name",  # 360
    r"Time-out Timer [sec]",  # 361
    r"TOT Pre-alert [sec]",  # 362
    r"TOT Rekey Time [sec]",  # 363
    r"TOT Reset Time [sec]",  # 364
    r"Group Signalling",  # 365
    r"Reserved",  # 366
    r"Channel",  # 367
    r"Group",  # 368
    r"Channel Edit",  # 369
    r"RX Frequency",  # 370
    r"TX Frequency",  # 371
    r"QT/DQT Decode",  # 372
    r"QT/DQT Encode",  # 373
    r"TX Power",  # 374
    r"Channel Spacing",  # 375
    r"Optional Signalling",  # 376
    r"Remote Channel No.",  # 377
    r"Busy Channel Lockout",  # 378
    r"Beat Shift",  # 379
    r"Compander",  # 380
    r"Priority 1 Channel",  # 381
    r"Priority 2 Channel",  # 382
    r"Home Channel",  # 383
    r"Emergency Channel",  # 384
    r"Repeater Channel No.",  # 385
    r"Wide",  # 386
    r"Narrow",  # 387
    r"Channel Copy",  # 388
    r"to",  # 389
    r"Frequency Copy",  # 390
    r"RX Frequency",  # 391
    r"TX Frequency",  # 392
    r"QT/DQT Copy",  # 393
    r"Group Jump",  # 394
    r"Group Copy",  # 395
    r"General",  # 396
    r"Tone / Mode / PTT ID",  # 397
    r"Channel Text Size",  # 398
    r"Group Text Size",  # 399
    r"Minimum Volume",  # 400
    r"Squelch Level",  # 401
    r"Power On Text",  # 402
    r"Roll Over / Dead End",  # 403
    r"Small Digit LCD Display",  # 404
    r"Timed Power Off",  # 405
    r"TX Audio Monitor",  # 406
    r"Home Group/Channel",  # 407
    r"Noise Blanker",  # 408
    r"Busy Channel Lock Override",  # 409
    r"Off Hook Decode",  # 410
    r"Horn Alert Backup",  # 411
    r"Off Hook Horn Alert",  # 412
    r"Channel Tracking",  # 413
    r"Clear to Transpond",  # 414
    r"Ext PTT w/MIC Mute",  # 415
    r"Ext PTT w/QT/DQT",  # 416
    r"Ext PTT w/STE",  # 417
    r"Horn Alert Logic Signal",  # 418
    r"Logic Signal",  # 419
    r"time[sec]",  # 420
    r"TONE",  # 421
    r"Power On Tone",  # 422
    r"Control Tone",  # 423
    r"Warning Tone",  # 424
    r"Alert Tone",  # 425
    r"Mode",  # 426
    r"Panel Test",  # 427
    r"Clone",  # 428
    r"Main Programming",  # 429
    r"ID Format",  # 430
    r"Connect ID",  # 431
    r"Disconnect ID",  # 432
    r"Dial ID",  # 433
    r"Inhibit ID in TA",  # 434
    r"Priority 1",  # 435
    r"Priority 2",  # 436
    r"Priority1 Group/Channel",  # 437
    r"Priority2 Group/Channel",  # 438
    r"Look Back Time A [sec]",  # 439
    r"Look Back Time B [sec]",  # 440
    r"Revert Channel",  # 441
    r"Dropout Delay Time [sec]",  # 442
    r"Dwell Time [sec]",  # 443
    r"Group Scan",  # 444
    r"Priority Channel Quick Scan",  # 445
    r"Priority 1 Temp. D/A",  # 446
    r"Priority 2 Temp. D/A",  # 447
    r"Off Hook Scan",  # 448
    r"Revert CH Display",  # 449
    r"Emergency Group/Channel",  # 450
    r"Active Time[sec]",  # 451
    r"Interval Time[sec]",  # 452
    r"Duration of Locator Tone 1 [sec]",  # 453
    r"Duration of Locator Tone 2 [sec]",  # 454
    r"Emergency Mode Type",  # 455
    r"Emergency Type",  # 456
    r"Emergency DTMF ID",  # 457
    r"Emergency Call Fleet",  # 458
    r"Emergency Call ID",  # 459
    r"Emergency Channel Display",  # 460
    r"Function",  # 461
    r"Head 1",  # 462
    r"Head 2",  # 463
    r"Up/Down Knob",  # 464
    r"Panel Switch",  # 465
    r"Key 1",  # 466
    r"Key 2",  # 467
    r"Key 3",  # 468
    r"Key 4",  # 469
    r"Key 5",  # 470
    r"Key 6",  # 471
    r"Key 7",  # 472
    r"Key 8",  # 473
    r"Key 9",  # 474
    r"Key 10",  # 475
    r"Key 11",  # 476
    r"Key 12",  # 477
    r"Key 13",  # 478
    r"Fleet(Own)",  # 479
    r"ID(OWN)",  # 480
    r"Data TX Modulation Delay Time [msec]",  # 481
    r"Side Tone",  # 482
    r"Code 1",  # 483
    r"Code 2",  # 484
    r"Code 3",  # 485
    r"Decode 1",  # 486
    r"Decode 2",  # 487
    r"Decoder1 Call Format",  # 488
    r"Decoder1 Call Type",  # 489
    r"Decoder2 Call Format",  # 490
    r"Decoder2 Call Type",  # 491
    r"A Tone [Hz]",  # 492
    r"B Tone [Hz]",  # 493
    r"C Tone [Hz]",  # 494
    r"Encode",  # 495
    r"Decode",  # 496
    r"DTMF Speed [Digit/sec]",  # 497
    r"First Digit Delay Time[msec]",  # 498
    r"First Digit Time[msec]",  # 499
    r"* and # Digit Time[msec]",  # 500
    r"DTMF Side Tone",  # 501
    r"Manual Dial",  # 502
    r"DTMF Hold Time",  # 503
    r"Keypad Auto PTT",  # 504
    r"Auto Dial",  # 505
    r"Auto Dial Programming",  # 506
    r"Reserved",  # 507
    r"Call Alert",  # 508
    r"Primary Code(Individual)",  # 509
    r"Secondary Code(Group)",  # 510
    r"Dead Beat Disable",  # 511
    r"Transpond",  # 512
    r"Auto Reset",  # 513
    r"Auto Dial",  # 514
    r"Auto Dial Code",  # 515
    r"Input",  # 516
    r"Output",  # 517
    r"Reserved",  # 518
    r"Model 1",  # 519
    r"Model 2",  # 520
    r"Input 1",  # 521
    r"Input 2",  # 522
    r"Input 3",  # 523
    r"Input 4",  # 524
    r"Input 5",  # 525
    r"Output 1",  # 526
    r"Output 2",  # 527
    r"Output 3",  # 528
    r"Output 4",  # 529
    r"None",  # 530
    r"Remote Select 1",  # 531
    r"Remote Select 2",  # 532
    r"Remote Select 3",  # 533
    r"Remote Select 4",  # 534
    r"External PTT",  # 535
    r"External Alarm",  # 536
    r"Monitor",  # 537
    r"Home Channel",  # 538
    r"Horn Alert Input",  # 539
    r"Band Select",  # 540
    r"Ignition Sense",  # 541
    r"Output Function 1",  # 542
    r"Output Function 2",  # 543
    r"Output Function 3",  # 544
    r"Horn Alert Output",  # 545
    r"Call Alert Output",  # 546
    r"OST Back Up",  # 547
    r"Direct OST",  # 548
    r"OST Name",  # 549
    r"QT/DQT Encode",  # 550
    r"QT/DQT Decode",  # 551
    r"OST Name Display *",  # 552
    r"Wide channels in the 150-174 MHz and 421-470 MHz ranges\nhave been changed to narrow.",  # 553
    r"Wide channels read from the radio in the 150-174 MHz and 421-470 MHz ranges\nhave been changed to narrow.",  # 554
    r"This frequency requires a narrow channel.\nThe channel has been set to narrow.",  # 555
    r"The transfer is complete, but the communication port could not be closed.\nCheck the port before the next transfer.",  # 556
    r"Group %s added",  # 557
    r"Group %s removed",  # 558
    r"Group %s changed",  # 559
    r"Channel %s added",  # 560
    r"Channel %s removed",  # 561
    r"Channel %s changed",  # 562
    r"Field %s",  # 563
    r"Bytes of the %s area at %s",  # 564
    r"The data sets are the same.",  # 565
    r"The radio does not hold what was written:\n%s differs.",  # 566
    r"The read could not be kept in the radio history:\n%s",  # 567
    r"Compare with &File...",  # 568
    r"Open Radio &History...",  # 569
    r"Verify after writing",  # 570
    r"Comparison with %s",  # 571
    r"&Undo",  # 572
    r"&Redo",  # 573
    r"Channel %d-%d",  # 574
    r"&Import Channels...",  # 575
    r"&Export Channels...",  # 576
    r"VELORA Channel Lists",  # 577
    r"CHIRP Channel Lists",  # 578
    r"The channel list was not imported:",  # 579
    r"The radio cannot hold these rows:",  # 580
    r"Import the other rows?",  # 581
    r"%d channel(s) imported.",  # 582
    r"Group for the channel list (1-160):",  # 583
    r"Export as PDF...",  # 584
    r"Cannot write the PDF file",  # 585
]


def stored_length(text):
    """Length of the text once its escapes are read: a backslash pair "\\n" or "\\t" is one character."""
    length, i = 0, 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text) and text[i + 1] in "nt":
            i += 2
        else:
            i += 1
        length += 1
    return length


def check(texts):
    if len(texts) != TEXT_COUNT:
        sys.exit(f"{len(texts)} texts, {TEXT_COUNT} expected")
    for n, text in enumerate(texts):
        if any(c in text for c in "\n\r\0\xff") or not text.isascii():
            sys.exit(f"text {n}: characters that cannot be written")
    used = sum(stored_length(t) + 1 for t in texts)
    if used > STORE_SIZE:
        sys.exit(f"texts need {used} bytes, the store holds {STORE_SIZE}")


def main():
    check(TEXTS)
    default = pathlib.Path(__file__).resolve().parent.parent / "data" / "velora.lng"
    out = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else default
    data = b"".join(b"%04d " % n + b"\0" + t.encode("ascii") + b"\n" for n, t in enumerate(TEXTS))
    out.write_bytes(data)


if __name__ == "__main__":
    main()
