#pragma once
// Resource ids of the IP monitor options, the method editor and the welcome
// wizard (range 4400-4699, one hundred per dialog): templates, pages and
// controls. Plain macros, so that monitor_dialogs.rc reads them too.
#include "option_dialog_ids.h"  // kSpinStyle; relative, for the resource compiler too

// IP Monitor Options (TfrmKXMonitor).
#define kDlgMonitor 4400
#define kDlgMonitorNotify 4401   // tab "Notify Options"
#define kDlgMonitorMethods 4402  // tab "Notification Method"
#define kMonPageControl 4410
#define kMonChkMonitor2 4411
#define kMonListLabel 4412
#define kMonLbNotifs 4413
#define kMonBtnAdd 4414
#define kMonBtnRemove 4415
#define kMonBtnEdit 4416
#define kMonBtnUp 4417
#define kMonBtnDown 4418

// IP Monitor Method (TfrmMonMethod).
#define kDlgMethod 4500
#define kDlgMethodEmail 4501        // page "email"
#define kDlgMethodFtp 4502          // page "FTP"
#define kDlgMethodLaunch 4503       // page "Launch"
#define kDlgMethodSleep 4504        // page "Sleep"
#define kDlgMethodEmailHeader 4505  // email tab "Message Header"
#define kDlgMethodEmailText 4506    // email tab "Message Text"
#define kDlgMethodEmailOptions 4507 // email tab "Message Options"
#define kDlgMethodFtpServer 4508    // FTP tab "FTP Server"
#define kDlgMethodFtpPage 4509      // FTP tab "Web Page"
#define kMmKindLabel 4510
#define kMmRbEmail 4511
#define kMmRbFtp 4512
#define kMmRbLaunch 4513
#define kMmRbSleep 4514
#define kMmNotebook 4515  // where the kind's page shows
#define kMmEmailTabs 4520
#define kMmFromLabel 4521
#define kMmTeFrom 4522
#define kMmToLabel 4523
#define kMmTeToo 4524
#define kMmSubjectLabel 4525
#define kMmTeSubject 4526
#define kMmMessageLabel 4527
#define kMmMessageText 4528
#define kMmEmailNote 4529
#define kMmBtSendMessage 4530
#define kMmRetriesLabel 4531
#define kMmTeRetries 4532
#define kMmRetriesSpin 4533
#define kMmRetriesRange 4534
#define kMmFtpTabs 4540
#define kMmFtpNote 4541
#define kMmServerLabel 4542
#define kMmTeFTPServer 4543
#define kMmServerSample 4544
#define kMmPortLabel 4545
#define kMmTeFTPPort 4546
#define kMmPortNote 4547
#define kMmPathLabel 4548
#define kMmTeFTPPath 4549
#define kMmPathSample 4550
#define kMmUserLabel 4551
#define kMmTeFTPUser 4552
#define kMmPassLabel 4553
#define kMmTeFTPPass 4554
#define kMmHtmlLabel 4555
#define kMmMeHTML 4556
#define kMmHtmlNote 4557
#define kMmUploadTest 4558
#define kMmChkPassive 4559
#define kMmChkFtps 4568
#define kMmLaunchHeading 4560
#define kMmAppLabel 4561
#define kMmTeApp1 4562
#define kMmBrowse 4563
#define kMmParamLabel 4564
#define kMmTeParam1 4565
#define kMmParamNote 4566
#define kMmLaunchTest 4567
#define kMmSleepHeading 4570
#define kMmTeSleep 4571
#define kMmSleepSpin 4572
#define kMmSleepRange 4573
#define kMmSleepNote 4574

// Tarnwick Welcome (TfrmWelcome).
#define kDlgWelcome 4600
#define kDlgWelcomeIntro 4601    // page "Page1"
#define kDlgWelcomeDialUp 4602   // page "DialUp Settings"
#define kDlgWelcomeEmail 4603    // page "email"
#define kDlgWelcomeFinish 4604   // page "Finish"
#define kWzPanel 4610            // the left panel
#define kWzPicture 4611
#define kWzProductName 4612
#define kWzVersion 4613
#define kWzNotebook 4614  // where the wizard's page shows
#define kWzIntroHeading 4620
#define kWzIntroText1 4621
#define kWzIntroText2 4622
#define kWzIntroText3 4623
#define kWzIntroPrevious 4624    // always disabled
#define kWzBtnNext 4625
#define kWzDialUpHeading 4630
#define kWzConnectionsLabel 4631
#define kWzCbConnections 4632
#define kWzReconnectGroup 4633
#define kWzChkReconnect 4634
#define kWzDelayLabel 4635
#define kWzTeDelay 4636
#define kWzUpDown2 4637
#define kWzDelayRange 4638
#define kWzRetriesLabel 4639
#define kWzTeMaxRetries 4640
#define kWzUpDown3 4641
#define kWzRetriesRange 4642
#define kWzLoginGroup 4643
#define kWzUserLabel 4644
#define kWzTeUserName 4645
#define kWzPasswordLabel 4646
#define kWzTePassword 4647
#define kWzDialUpPrevious 4648
#define kWzDialUpNext 4649
#define kWzEmailHeading 4660
#define kWzMethodGroup 4661
#define kWzRbSMTP 4662
#define kWzRbMAPI 4663
#define kWzMapiNote 4664
#define kWzMapiNote2 4665
#define kWzSmtpGroup 4666        // the mail method's page "SMTP"
#define kWzHostLabel 4667
#define kWzTeHost 4668
#define kWzHostNote 4669
#define kWzMapiGroup 4670        // page "MAPI": an empty group
#define kWzEmailPrevious 4671
#define kWzEmailNext 4672
#define kWzSmtpPortLabel 4673
#define kWzTeSmtpPort 4674
#define kWzRbPlain 4675
#define kWzRbStartTls 4676
#define kWzRbTls 4677
#define kWzSmtpUserLabel 4678
#define kWzTeSmtpUser 4679
#define kWzSmtpPassLabel 4684
#define kWzTeSmtpPass 4685
#define kWzFinishHeading 4680
#define kWzFinishText 4681
#define kWzFinishPrevious 4682
#define kWzBtnFinish 4683
